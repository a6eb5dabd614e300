#include "text/ranking/plain_text.h"

#include <gtest/gtest.h>

#include "text/ranking/entities.h"
#include "common/utf8.h"

namespace textrank {
namespace {

std::string plain(std::string_view bytes) {
  std::string out;
  plain_text(bytes, out);
  return out;
}

TEST(TextRankingUtf8, AcceptsWellFormedRefusesTheRest) {
  EXPECT_TRUE(utf8::valid(""));
  EXPECT_TRUE(utf8::valid("plain ascii, long enough to take the eight-byte path"));
  EXPECT_TRUE(utf8::valid("\xC3\xA9t\xC3\xA9 \xC5\x93uvre \xE2\x80\x99 \xF0\x9F\x98\x80"));
  EXPECT_FALSE(utf8::valid("caf\xE9"));            // Latin-1 é
  EXPECT_FALSE(utf8::valid("\xC3"));               // cut short
  EXPECT_FALSE(utf8::valid("\x80"));               // stray continuation
  EXPECT_FALSE(utf8::valid("\xC0\xAF"));           // overlong
  EXPECT_FALSE(utf8::valid("\xE0\x80\xAF"));       // overlong
  EXPECT_FALSE(utf8::valid("\xED\xA0\x80"));       // surrogate
  EXPECT_FALSE(utf8::valid("\xF4\x90\x80\x80"));   // past U+10FFFF
  EXPECT_FALSE(utf8::valid("0123456789abcde\xFF"));  // after an ASCII run
}

TEST(TextRankingPlainText, LatinOneFallbackPerDocument) {
  EXPECT_EQ(plain("caf\xE9 cr\xE8me"), "caf\xC3\xA9 cr\xC3\xA8me");
  // 0x80..0x9F as Windows-1252 does: œ, ’, €.
  EXPECT_EQ(plain("c\x9Cur l\x92\x80"), "c\xC5\x93ur l\xE2\x80\x99\xE2\x82\xAC");
  // One bad byte makes the whole document Latin-1.
  EXPECT_EQ(plain("\xC3\xA9 \xE9"), "\xC3\x83\xC2\xA9 \xC3\xA9");
  // Well-formed UTF-8 passes as it is.
  EXPECT_EQ(plain("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
}

TEST(TextRankingPlainText, MarksBecomeBlanksTextBeforeThemStays) {
  EXPECT_EQ(plain("avant<p a=\"x\">dans</p>apr"), "avant dans apr");
  EXPECT_EQ(plain("aucune marque"), "aucune marque");
  EXPECT_EQ(plain("<?xml version=\"1.0\"?><!-- c --><t>x</t>"), "   x ");
  // A "<" not opening a name, or with no ">" after it, is text.
  EXPECT_EQ(plain("a < b et 1<2"), "a < b et 1<2");
  EXPECT_EQ(plain("<t>fin <non fermee"), " fin <non fermee");
  // Addresses in angle brackets are text.
  EXPECT_EQ(plain("voir <https://a.org/x> ou <moi@a.org>"), "voir <https://a.org/x> ou <moi@a.org>");
  EXPECT_EQ(plain("<a href=\"https://a.org\">lien</a>"), " lien ");
}

TEST(TextRankingPlainText, EntitiesDecodedOutsideMarks) {
  EXPECT_EQ(plain("&eacute;t&eacute; &agrave; &amp; &lt;b&gt; &nbsp;"),
            "\xC3\xA9t\xC3\xA9 \xC3\xA0 & <b> \xC2\xA0");
  EXPECT_EQ(plain("&#233;&#xE9;&#XE9;&#x153;&oelig;&rsquo;"),
            "\xC3\xA9\xC3\xA9\xC3\xA9\xC5\x93\xC5\x93\xE2\x80\x99");
  // Unknown, unterminated or empty ones stay as they are.
  EXPECT_EQ(plain("&inconnu; &eacute &; &#; a&b"), "&inconnu; &eacute &; &#; a&b");
  // A reference to no character reads as U+FFFD.
  EXPECT_EQ(plain("&#0;&#xD800;&#99999999;"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  // Entities in a Latin-1 document too; none inside a mark.
  EXPECT_EQ(plain("\xE9&eacute;<t a=\"&amp;\">"), "\xC3\xA9\xC3\xA9 ");
}

TEST(TextRankingEntities, ReadsOnlyWholeReferences) {
  char32_t c = 0;
  EXPECT_EQ(read_entity("&Eacute;x", c), 8u);
  EXPECT_EQ(c, U'\u00C9');
  EXPECT_EQ(read_entity("&#x10FFFF;", c), 10u);
  EXPECT_EQ(c, U'\U0010FFFF');
  EXPECT_EQ(read_entity("&EACUTE;", c), 0u);  // names are case-sensitive
  EXPECT_EQ(read_entity("&#12a;", c), 0u);
  EXPECT_EQ(read_entity("&", c), 0u);
  EXPECT_EQ(named_entity("hellip"), U'\u2026');
  EXPECT_EQ(named_entity("yuml"), U'\u00FF');
}

}  // namespace
}  // namespace textrank
