#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki.h"

namespace brevalt {
namespace {

std::string Hex(const unsigned char* data, int length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < length; ++i) {
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 15];
  }
  return text;
}

// Digest of the chunks under algorithm; empty when any call fails.
std::string DigestHex(int algorithm, const std::vector<std::string>& chunks) {
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  if (!device) {
    return {};
  }
  UniqueHash hash(TavikPKICryptoNewHash(device.get(), algorithm));
  device.reset();  // the hash outlives its device
  if (!hash) {
    return {};
  }
  for (const std::string& chunk : chunks) {
    if (TavikPKICryptoHashUpdate(hash.get(), reinterpret_cast<const unsigned char*>(chunk.data()),
                                 static_cast<int>(chunk.size())) != 1) {
      return {};
    }
  }
  unsigned char* digest = nullptr;
  int length = 0;
  if (TavikPKICryptoHashFinal(hash.get(), &digest, &length) != 1) {
    return {};
  }
  UniqueLibBuffer<unsigned char> owner(digest);
  return Hex(digest, length);
}

// Known SHA-256 answers (FIPS 180-2 examples and the empty message).
struct DigestCase {
  int algorithm;
  std::vector<std::string> chunks;
  const char* expected;
};

TEST(PkiDigest, BothIdsAreSha256InAnyChunking) {
  const std::string kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  const DigestCase cases[] = {
      {TAVIK_HASH_BID_CODE, {"abc"}, kAbc.c_str()},
      {TAVIK_HASH_TIMESTAMP, {"abc"}, kAbc.c_str()},
      {TAVIK_HASH_BID_CODE, {"a", "", "bc"}, kAbc.c_str()},
      {TAVIK_HASH_BID_CODE, {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {TAVIK_HASH_TIMESTAMP,
       {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"},
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
  };
  for (const DigestCase& c : cases) {
    EXPECT_EQ(DigestHex(c.algorithm, c.chunks), c.expected) << c.algorithm;
  }
}

TEST(PkiDigest, UnknownAlgorithmOrDeviceGivesNoHash) {
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  ASSERT_TRUE(device);
  for (int algorithm : {0, 1, 4097, 8191, 0x3000, -1}) {
    EXPECT_EQ(TavikPKICryptoNewHash(device.get(), algorithm), nullptr) << algorithm;
  }
  EXPECT_EQ(TavikPKICryptoNewHash(nullptr, TAVIK_HASH_BID_CODE), nullptr);
}

TEST(PkiDigest, MisuseFailsInsteadOfCorrupting) {
  UniqueDevice device(TavikPKICryptoGetPseudoDevice());
  UniqueHash hash(TavikPKICryptoNewHash(device.get(), TAVIK_HASH_BID_CODE));
  ASSERT_TRUE(hash);
  const unsigned char byte = 1;
  EXPECT_EQ(TavikPKICryptoHashUpdate(hash.get(), &byte, -1), 0);
  EXPECT_EQ(TavikPKICryptoHashUpdate(hash.get(), nullptr, 4), 0);
  EXPECT_EQ(TavikPKICryptoHashUpdate(nullptr, &byte, 1), 0);
  unsigned char* digest = nullptr;
  int length = 0;
  ASSERT_EQ(TavikPKICryptoHashFinal(hash.get(), &digest, &length), 1);
  UniqueLibBuffer<unsigned char> owner(digest);
  EXPECT_EQ(length, 32);
  // A finished digest takes no more input and gives no second result.
  EXPECT_EQ(TavikPKICryptoHashUpdate(hash.get(), &byte, 1), 0);
  unsigned char* again = nullptr;
  EXPECT_EQ(TavikPKICryptoHashFinal(hash.get(), &again, &length), 0);
  EXPECT_EQ(again, nullptr);
  // Releasing null is harmless.
  TavikPKICryptoFreeHash(nullptr);
  TavikPKICryptoFreeDevice(nullptr);
  TavikPKICryptoFreeMemory(nullptr);
}

}  // namespace
}  // namespace brevalt
