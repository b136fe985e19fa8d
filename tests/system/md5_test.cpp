#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "system/md5.h"
#include "win/unique.h"
#include "win/wide.h"

namespace {

using sys::Md5Text;
using sys::Md5TextOfFile;
using test_support::TempFolder;

constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

TEST(Md5Test, DigestsOfTheReferenceMessages) {
  struct Case {
    std::string data;
    const char* digest;
  } const cases[] = {
      {"", kEmptyDigest},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // Byte strings may hold zero bytes; all of them are hashed.
      {std::string("\0", 1), "93b885adfe0da089cdf634904fd59f71"},
  };
  for (const Case& c : cases) EXPECT_EQ(Md5Text(c.data), c.digest) << c.data;
}

TEST(Md5Test, FileDigestEqualsTheDigestOfItsContent) {
  TempFolder folder;
  // Larger than one read chunk, and not a multiple of it, with every byte value.
  std::string content((1 << 20) * 2 + 12345, '\0');
  for (size_t index = 0; index < content.size(); ++index) {
    content[index] = static_cast<char>((index * 7919) >> 3);
  }
  folder.WriteFile("big.bin", content);
  folder.WriteFile("small.bin", "abc");
  folder.WriteFile("empty.bin", "");
  folder.WriteFile("\xC8\xED\xBC\xFE.txt", "message digest");  // 软件.txt

  EXPECT_EQ(Md5TextOfFile(folder.Join("big.bin")), Md5Text(content));
  EXPECT_EQ(Md5TextOfFile(folder.Join("small.bin")), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5TextOfFile(folder.Join("empty.bin")), kEmptyDigest);
  EXPECT_EQ(Md5TextOfFile(folder.Join("\xC8\xED\xBC\xFE.txt")),
            "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST(Md5Test, UnreadableFilesCountAsEmptyContent) {
  TempFolder folder;
  folder.MakeFolder("folder");
  folder.WriteFile("locked.bin", "abc");
  win::UniqueFile locked(CreateFileW(win::Widen(folder.Join("locked.bin")).c_str(), GENERIC_READ,
                                     0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);

  EXPECT_EQ(Md5TextOfFile(folder.Join("missing.bin")), kEmptyDigest);
  EXPECT_EQ(Md5TextOfFile(folder.Join("folder")), kEmptyDigest);
  EXPECT_EQ(Md5TextOfFile(folder.Join("locked.bin")), kEmptyDigest);
  EXPECT_EQ(Md5TextOfFile(""), kEmptyDigest);
}

TEST(Md5Test, AMissingFileMatchesNoDigest) {
  TempFolder folder;
  folder.WriteFile("empty.bin", "");
  folder.WriteFile("small.bin", "abc");

  EXPECT_TRUE(sys::FileMatchesMd5(folder.Join("empty.bin"), kEmptyDigest));
  EXPECT_TRUE(sys::FileMatchesMd5(folder.Join("small.bin"), "900150983cd24fb0d6963f7d28e17f72"));
  EXPECT_FALSE(sys::FileMatchesMd5(folder.Join("small.bin"), kEmptyDigest));
  EXPECT_FALSE(sys::FileMatchesMd5(folder.Join("missing.bin"), kEmptyDigest));
}

}  // namespace
