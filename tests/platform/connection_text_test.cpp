// What a connection string may show of itself, and the wide text the ODBC calls take.
#include <gtest/gtest.h>

#include "platform/database.h"
#include "platform/utf16_text.h"

TEST(MaskedConnection, HidesEveryPasswordHoweverWritten) {
  EXPECT_EQ(MaskedConnection("DSN=line1;UID=station;PWD=s3cret"), "DSN=line1;UID=station;PWD=***");
  EXPECT_EQ(MaskedConnection("Password = {a;b}}c};Server=db1"), "Password = ***;Server=db1");
  EXPECT_EQ(MaskedConnection("pwd=x;UID=u;Pwd=y"), "pwd=***;UID=u;Pwd=***");
  EXPECT_EQ(MaskedConnection("DSN=line1"), "DSN=line1");
  // A key that merely ends in PWD is no password.
  EXPECT_EQ(MaskedConnection("OLDPWD=visible"), "OLDPWD=visible");
}

TEST(ConnectionServer, NamesTheServerAndPortElseTheDsn) {
  EXPECT_EQ(ConnectionServer("Driver={PostgreSQL Unicode};Server=db1;Port=5433;PWD=x"), "db1:5433");
  EXPECT_EQ(ConnectionServer("Servername=db2;Database=q"), "db2");
  EXPECT_EQ(ConnectionServer("DSN=line1;PWD=x"), "DSN line1");
  EXPECT_EQ(ConnectionServer("Driver=x;PWD=secret"), "Driver=x;PWD=***");
}

TEST(Utf16Text, KeepsEveryCharacterAndReplacesWhatIsNoUtf8) {
  const std::string text = "a\xC3\xBC\xE4\xB8\xAD\xF0\x9D\x84\x9E";  // a, u-umlaut, CJK, G clef
  EXPECT_EQ(Utf16Of(text), (std::u16string{u'a', 0x00FC, 0x4E2D, 0xD834, 0xDD1E}));
  EXPECT_EQ(Utf8Of(Utf16Of(text)), text);
  EXPECT_EQ(Utf8Of(Utf16Of("\xFF"
                           "a\xC3")),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf8Of(std::u16string{0xD800, u'b'}),
            "\xEF\xBF\xBD"
            "b");
}
