#include <gtest/gtest.h>

#include "foundation/StringEncryptor.h"

TEST(StringEncryptor, PairsTheFirstCharacterWithTheKeysSecond) {
  TStringEncryptor E("MorqTeln");
  std::string S = "A";
  E.EncryptString(S);
  EXPECT_EQ(static_cast<unsigned char>(S[0]), ('A' + 'o') % 256);

  std::string Nine(9, '\0');
  E.EncryptString(Nine);
  EXPECT_EQ(Nine[0], 'o');
  EXPECT_EQ(Nine[6], 'n');  // the seventh character pairs with the key's eighth
  EXPECT_EQ(Nine[7], 'M');  // the eighth with the key's first
  EXPECT_EQ(Nine[8], 'o');  // the ninth with the second again
}

TEST(StringEncryptor, WrapsAroundAndDecryptsAnyBytes) {
  TStringEncryptor E("MorqTeln");
  std::string S = "\xff";
  E.EncryptString(S);
  EXPECT_EQ(static_cast<unsigned char>(S[0]), (0xff + 'o') % 256);

  std::string All;
  for (int I = 0; I < 1000; ++I) All += static_cast<char>((I * 37 + 11) % 256);
  std::string T = All;
  E.EncryptString(T);
  EXPECT_NE(T, All);
  E.DecryptString(T);
  EXPECT_EQ(T, All);

  std::string Empty;
  E.EncryptString(Empty);
  EXPECT_EQ(Empty, "");
}

TEST(StringEncryptor, RefusesAnEmptyKey) {
  TStringEncryptor E;
  std::string S = "abc";
  EXPECT_THROW(E.EncryptString(S), EStringEncryptor);
  EXPECT_EQ(S, "abc");
}
