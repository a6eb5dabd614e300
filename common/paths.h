// Where every file of the data store lies, relative to the working directory
// of the engine, which is a sibling of the two roots EXTERN_FILES and
// INDEXATION.
#pragma once

namespace paths {

inline constexpr const char* kExternRoot = "../EXTERN_FILES";
inline constexpr const char* kIndexationRoot = "../INDEXATION";
inline constexpr const char* kConfig = "../EXTERN_FILES/configuration.config";
inline constexpr const char* kDatabaseDir = "../EXTERN_FILES/database";

// Corpora (only read).
inline constexpr const char* kTextCorpus =
    "../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";
inline constexpr const char* kRgbCorpus =
    "../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/";
inline constexpr const char* kNbCorpus =
    "../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/";
inline constexpr const char* kSoundCorpus =
    "../EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/";

// Text base.
inline constexpr const char* kTextBaseDir = "../EXTERN_FILES/database/base_texte/";
inline constexpr const char* kTextList =
    "../EXTERN_FILES/database/base_texte/liste_base_texte.txt";
inline constexpr const char* kTextDescriptors =
    "../EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
inline constexpr const char* kTextIndex =
    "../EXTERN_FILES/database/base_texte/table_index_texte.txt";
inline constexpr const char* kTextRanked = "../EXTERN_FILES/database/base_texte/classement_texte.idx";
inline constexpr const char* kTextQueryDescriptor =
    "../EXTERN_FILES/database/base_texte/descripteur_temporaire.txt";

// Text scratch space.
inline constexpr const char* kTextScratch = "../INDEXATION/temp_txt";
inline constexpr const char* kTextScratchCopies = "../INDEXATION/temp_txt/cpy/";
inline constexpr const char* kTextScratchPure = "../INDEXATION/temp_txt/pure_txts/";
inline constexpr const char* kTextScratchTable =
    "../INDEXATION/temp_txt/table_index_texte_temp";
inline constexpr const char* kTextSideTable = "../INDEXATION/table_index_texte_temp";

// Image base.
inline constexpr const char* kImageBaseDir = "../EXTERN_FILES/database/base_image/";
inline constexpr const char* kImageList =
    "../EXTERN_FILES/database/base_image/liste_base_image.txt";
inline constexpr const char* kImageDescriptors =
    "../EXTERN_FILES/database/base_image/base_descripteur_image.txt";
inline constexpr const char* kImageRanked = "../EXTERN_FILES/database/base_image/classement_image.idx";
inline constexpr const char* kImageQueryDescriptor =
    "../EXTERN_FILES/database/base_image/temp";

// Sound base.
inline constexpr const char* kSoundBaseDir = "../EXTERN_FILES/database/base_son/";
inline constexpr const char* kSoundList =
    "../EXTERN_FILES/database/base_son/Liste_Base_Son.txt";
inline constexpr const char* kSoundRanked = "../EXTERN_FILES/database/base_son/classement_son.idx";
inline constexpr const char* kSoundDescriptors =
    "../EXTERN_FILES/database/base_son/base_descripteur_son.txt";

}  // namespace paths
