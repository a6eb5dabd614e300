#include "image/config.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "common/config.h"
#include "image/messages.h"
#include "tests/support/temp_store.h"

using namespace image;

namespace {

std::string messagesOf(std::string_view config, ParamBits& bits) {
  std::string messages;
  bits = init_values(config, ParamBits{}, messages);
  return messages;
}

}  // namespace

TEST(ImageConfig, KeysValuesAndMessages) {
  ParamBits bits;
  EXPECT_EQ(messagesOf("<image>\nNbBit_NB: 4\nNbBit_RGB: 3\n</image>", bits), "");
  EXPECT_EQ(bits.PARAM_BITS_NB, 4);
  EXPECT_EQ(bits.PARAM_BITS_RGB, 3);

  EXPECT_EQ(messagesOf("NbBit_NB: 8 NbBit_RGB: 0", bits), std::string(kMsgBitsNB) + std::string(kMsgBitsRGB));
  EXPECT_EQ(bits.PARAM_BITS_NB, 4);
  EXPECT_EQ(bits.PARAM_BITS_RGB, 3);

  EXPECT_EQ(messagesOf("NbBit_RGB: 5 x NbBit_NB: 7 NbBit_NB: 2 NbBit_NB: 9", bits), kMsgBitsNB);
  EXPECT_EQ(bits.PARAM_BITS_NB, 2);  // last valid value stands
  EXPECT_EQ(bits.PARAM_BITS_RGB, 5);

  // The value word after "NbBit_NB:" is then tested as the second key.
  EXPECT_EQ(messagesOf("NbBit_NB: NbBit_RGB: 3", bits), kMsgBitsNB);
  EXPECT_EQ(bits.PARAM_BITS_RGB, 3);
  EXPECT_EQ(messagesOf("NbBit_NB: NbBit_RGB: 2", bits), kMsgBitsNB);
  EXPECT_EQ(bits.PARAM_BITS_RGB, 2);
  // Other value words are consumed, never taken as keys.
  EXPECT_EQ(messagesOf("NbBit_RGB: NbBit_NB: 6", bits), kMsgBitsRGB);
  EXPECT_EQ(bits.PARAM_BITS_NB, 4);

  // Leading decimal digits with a sign; no digits reads 0; a key at the end reads 0.
  EXPECT_EQ(messagesOf("NbBit_NB: +5abc NbBit_RGB: -1", bits), kMsgBitsRGB);
  EXPECT_EQ(bits.PARAM_BITS_NB, 5);
  EXPECT_EQ(messagesOf("NbBit_NB:", bits), kMsgBitsNB);
  EXPECT_EQ(messagesOf("nbbit_nb: 9 NbBit_NB:5", bits), "");  // not the key
}

TEST(ImageConfig, FileOfTheStoreOrTheFallback) {
  testing_support::TempStore t;
  const store::Store store = t.store();
  {
    t.write("EXTERN_FILES/configuration.config", "NbBit_NB: 6 NbBit_RGB: 9");
    output::StringSink sink;
    const ParamBits bits = init_values_file(store, sink, ParamBits{});
    EXPECT_EQ(bits.PARAM_BITS_NB, 6);
    EXPECT_EQ(bits.PARAM_BITS_RGB, 3);
    EXPECT_EQ(sink.out_text(), kMsgBitsRGB);
    EXPECT_EQ(sink.err_text(), "");
  }
  {
    std::filesystem::remove(t.path("EXTERN_FILES/configuration.config"));
    output::StringSink sink;
    const ParamBits bits = init_values_file(store, sink, ParamBits{2, 1});
    EXPECT_EQ(bits.PARAM_BITS_NB, 2);
    EXPECT_EQ(bits.PARAM_BITS_RGB, 1);
    EXPECT_EQ(sink.out_text(), config::kUnreadable);
  }
}

TEST(ImageConfig, AConfigurationThatIsNotARegularFileIsUnreadable) {
  testing_support::TempStore t;
  const std::string config = t.path("EXTERN_FILES/configuration.config");
  std::filesystem::remove(config);
  ASSERT_EQ(::mkfifo(config.c_str(), 0644), 0);
  output::StringSink sink;
  const ParamBits bits = init_values_file(t.store(), sink, ParamBits{});  // must not wait for a writer
  EXPECT_EQ(bits.PARAM_BITS_NB, 4);
  EXPECT_EQ(bits.PARAM_BITS_RGB, 3);
  EXPECT_EQ(sink.out_text(), config::kUnreadable);

  std::filesystem::remove(config);
  std::filesystem::create_symlink("/dev/zero", config);
  output::StringSink device;
  init_values_file(t.store(), device, ParamBits{});
  EXPECT_EQ(device.out_text(), config::kUnreadable);
}
