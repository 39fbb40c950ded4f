// The log-in window's refusals, the new user's checks, the web addresses the game opens or
// fetches, the server address of the server list and the glyph's size.
#include "screens/LoginRules.h"

#include <gtest/gtest.h>

namespace {

const std::string List = "http://lobby.example/ip.adr";

TEST(LoginRulesTest, LoginRefusalsInTheirOrder) {
  struct TCase {
    TLoginEntry Entry;
    std::optional<TLoginRefusal> Refusal;
  };
  const TCase Cases[] = {
      {{"", "", false, "", List, false}, TLoginRefusal{"Please enter a User Name.", lfUserName}},
      {{"", "pw", true, "", "", false}, TLoginRefusal{"Please enter a User Name.", lfUserName}},
      {{"ann", "", true, "", "", false}, TLoginRefusal{"Please enter a Password.", lfPassword}},
      {{"ann", "pw", true, "", List, false}, TLoginRefusal{"Please enter a Host Address.", lfHostAddress}},
      {{"ann", "pw", true, "  ", List, false}, TLoginRefusal{"Please enter a Host Address.", lfHostAddress}},
      {{"ann", "pw", true, "127.0.0.1", "", false}, std::nullopt},
      {{"ann", "pw", false, "", List, false}, std::nullopt},
      {{"ann", "pw", false, "", "https://lobby.example/ip.adr", false}, std::nullopt},
      // The user name and the password go into "|"-separated lines and "^"-ended records.
      {{"an|n", "pw", true, "h", "", false}, TLoginRefusal{"A User Name cannot hold \"|\" or \"^\".", lfUserName}},
      {{"ann", "p^w", true, "h", "", false}, TLoginRefusal{"A Password cannot hold \"|\" or \"^\".", lfPassword}},
      // A new user's name and password are in its record: only the server is checked.
      {{"", "", true, "", "", true}, TLoginRefusal{"Please enter a Host Address.", lfHostAddress}},
      {{"", "", true, "10.0.0.2", "", true}, std::nullopt},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(LoginRefusal(C.Entry), C.Refusal) << C.Entry.UserName << "/" << C.Entry.HostAddress;
}

TEST(LoginRulesTest, TheQuillfensChoiceNeedsAWebAddressOfTheServerList) {
  const auto None = LoginRefusal({"ann", "pw", false, "", "", false});
  ASSERT_TRUE(None);
  EXPECT_EQ(None->Focus, lfServerChoice);
  EXPECT_EQ(None->Message, "No address of the Quillfen's server list is set: please choose another VexilServer.");
  const auto File = LoginRefusal({"ann", "pw", false, "", "file:///etc/passwd", false});
  ASSERT_TRUE(File);
  EXPECT_EQ(File->Focus, lfServerChoice);
  EXPECT_EQ(File->Message, "The Quillfen's server list address \"file:///etc/passwd\" is not an http or https "
                           "address: please choose another VexilServer.");
}

TEST(LoginRulesTest, UserInfoChecks) {
  struct TCase {
    TUserInfoEntry Entry;
    std::optional<TLoginRefusal> Refusal;
  };
  const TLoginRefusal Match{"Please make sure the Password fields match.", lfPassword1};
  const TCase Cases[] = {
      {{"", "a", "a", {}}, TLoginRefusal{"Please provide a User ID.", lfUserId}},
      {{"", "", "", {}}, TLoginRefusal{"Please provide a User ID.", lfUserId}},
      {{"ann", "", "", {}}, Match},
      {{"ann", "a", "", {}}, Match},
      {{"ann", "", "a", {}}, Match},
      {{"ann", "a", "b", {}}, Match},
      {{"ann", "secret", "secret", {{"City", "Leeds"}}}, std::nullopt},
      {{"an^n", "a", "a", {}}, TLoginRefusal{"A User ID cannot hold \"|\" or \"^\".", lfUserId}},
      {{"ann", "a|b", "a|b", {}}, TLoginRefusal{"A Password cannot hold \"|\" or \"^\".", lfPassword1}},
      {{"ann", "a", "a", {{"City", "Leeds"}, {"E-Mail", "a^b"}}},
       TLoginRefusal{"The E-Mail cannot hold \"|\" or \"^\".", lfField}},
      {{"ann", "a", "a", {{"Comments", "two\nlines"}}},
       TLoginRefusal{"The Comments cannot hold \"|\" or \"^\".", lfField}},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(UserInfoRefusal(C.Entry), C.Refusal) << C.Entry.UserId << "/" << C.Entry.Password1;
}

TEST(LoginRulesTest, OnlyHttpAndHttpsAddressesWithAHostAreWebAddresses) {
  const std::pair<const char*, bool> Cases[] = {
      {"http://example.org", true},
      {"https://example.org/home.html", true},
      {"HTTP://Example.org:8080/x?y#z", true},
      {"http://127.0.0.1:4000/ip.adr", true},
      {"http://[::1]:8080/", true},
      {"", false},
      {"example.org", false},
      {"file:///etc/passwd", false},
      {"C:\\Windows\\notepad.exe", false},
      {"/usr/bin/xterm", false},
      {"javascript:alert(1)", false},
      {"mailto:ann@example.org", false},
      {"ftp://example.org", false},
      {"http://", false},
      {"http:///path", false},
      {"http://:80/", false},
      {"http://exa mple.org", false},
      {"http://example.org/a\nb", false},
      {"http://user@evil.example/", false},
      {" http://example.org", false},
  };
  for (const auto& [Address, Web] : Cases) EXPECT_EQ(IsWebAddress(Address), Web) << Address;
}

TEST(LoginRulesTest, TheServerListNamesOneHost) {
  const std::pair<const char*, std::optional<std::string>> Cases[] = {
      {"lobby.example.org", "lobby.example.org"},
      {"  10.1.2.3\r\n", "10.1.2.3"},
      {"::1", "::1"},
      {"", std::nullopt},
      {" \r\n", std::nullopt},
      {"two hosts", std::nullopt},
      {"host;rm -rf", std::nullopt},
      {"\x01\x02garbage", std::nullopt},
  };
  for (const auto& [Text, Host] : Cases) EXPECT_EQ(ServerHostFromList(Text), Host) << Text;
  EXPECT_EQ(ServerHostFromList(std::string(254, 'a')), std::nullopt);
  EXPECT_EQ(ServerHostFromList(std::string(253, 'a')), std::string(253, 'a'));
}

TEST(LoginRulesTest, GlyphsAbove32AreScaled) {
  EXPECT_FALSE(GlyphNeedsScaling(32, 32));
  EXPECT_FALSE(GlyphNeedsScaling(1, 1));
  EXPECT_FALSE(GlyphNeedsScaling(16, 32));
  EXPECT_TRUE(GlyphNeedsScaling(33, 32));
  EXPECT_TRUE(GlyphNeedsScaling(32, 33));
  EXPECT_TRUE(GlyphNeedsScaling(64, 48));
}

}  // namespace
