#include "bid/bid_file_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fakes/fake_tavik.h"

namespace brevalt {
namespace {

// The custom-data header for a rules file of `length` bytes.
std::string Header(uint32_t length) {
  std::string header = "RULF";
  for (int shift : {24, 16, 8, 0})
    header.push_back(static_cast<char>((length >> shift) & 0xFF));
  return header;
}

class BidFileReaderTest : public fake::FakeTavikTest {
 protected:
  // Opens and reads a container whose custom data is `data`.
  int ReadWith(const std::string& data) {
    fake::ContainerScript script;
    script.custom_data = data;
    fake::SetContainer(script);
    reader_->SetBidPath(u"/bids/投标_P1_1.tbs.bidx");
    reader_->SetFolder(u"/bids");
    EXPECT_EQ(reader_->Open(), 0);
    return reader_->VerifyAndRead();
  }
  void TearDown() override {
    reader_.reset();  // hand everything back before the accounting
    FakeTavikTest::TearDown();
  }

  std::unique_ptr<CBidFileReader> reader_ = std::make_unique<CBidFileReader>();
};

TEST_F(BidFileReaderTest, ShortOrUnmarkedCustomDataCarriesNoRulesFile) {
  const std::string cases[] = {
      "",
      "R",
      "RULF",
      std::string("RULF\0\0\0", 7),                  // 0 to 7 bytes
      "rulf" + std::string("\0\0\0\x02", 4) + "ab",  // magic in lower case
      "XULF" + std::string("\0\0\0\x02", 4) + "ab",
  };
  for (const std::string& data : cases) {
    CBidFileReader reader;
    fake::ContainerScript script;
    script.custom_data = data;
    fake::SetContainer(script);
    reader.SetBidPath(u"/b/x.bidx");
    reader.SetFolder(u"/b");
    ASSERT_EQ(reader.Open(), 0);
    EXPECT_EQ(reader.VerifyAndRead(), 0) << data.size();
    EXPECT_EQ(reader.m_pRulesData, nullptr);
    EXPECT_EQ(reader.m_nRulesDataLen, 0u);
    EXPECT_EQ(reader.m_strRulesText, u"");
    EXPECT_EQ(reader.m_nCustomDataLen, static_cast<int32_t>(data.size()));
    EXPECT_EQ(reader.LoadEnvironment(), 1);
  }
}

TEST_F(BidFileReaderTest, HeaderLengthAgainstTheBytesThatFollow) {
  struct Row {
    const char* name;
    std::string data;
    int result;
    uint32_t length;
  };
  const Row rows[] = {
      {"equal to the space", Header(3) + "abc", 0, 3},
      {"one more", Header(4) + "abc", kReaderRulesLength, 4},
      {"top bit set", Header(0x80000003u) + "abc", kReaderRulesLength, 0x80000003u},
      {"all ones", Header(0xFFFFFFFFu) + "abc", kReaderRulesLength, 0xFFFFFFFFu},
      {"zero with text after", Header(0) + "abc", 0, 0},
  };
  for (const Row& row : rows) {
    CBidFileReader reader;
    fake::ContainerScript script;
    script.custom_data = row.data;
    fake::SetContainer(script);
    reader.SetBidPath(u"/b/x.bidx");
    reader.SetFolder(u"/b");
    ASSERT_EQ(reader.Open(), 0);
    EXPECT_EQ(reader.VerifyAndRead(), row.result) << row.name;
    EXPECT_EQ(reader.m_nRulesDataLen, row.length) << row.name;
    if (row.result == 0) {
      // The text runs to the end of the block, whatever the header says.
      EXPECT_EQ(reader.m_strRulesText, u"abc") << row.name;
      EXPECT_EQ(reader.m_pRulesData, reader.m_pCustomData.data() + 8) << row.name;
    } else {
      EXPECT_EQ(reader.m_pRulesData, nullptr) << row.name;
    }
  }
}

TEST_F(BidFileReaderTest, RulesTextEndsAtTheFirstNulOrTheBlockEnd) {
  EXPECT_EQ(ReadWith(Header(7) + std::string("ab\0cdef", 7)), 0);
  EXPECT_EQ(reader_->m_strRulesText, u"ab");
  EXPECT_EQ(reader_->m_nRulesDataLen, 7u);
}

TEST_F(BidFileReaderTest, RulesTextIsDecodedFromGbk) {
  // "招标" in GBK.
  EXPECT_EQ(ReadWith(Header(4) + "\xD5\xD0\xB1\xEA"), 0);
  EXPECT_EQ(reader_->m_strRulesText, u"招标");
}

TEST_F(BidFileReaderTest, BidderNamesFallBackToTheUnit) {
  struct Row {
    std::map<int, std::string> attributes;
    const char16_t* name;
    const char16_t* unit;
  };
  const Row rows[] = {
      {{{16, "李四"}, {18, "东方监理公司"}}, u"李四", u"东方监理公司"},
      {{{18, "东方监理公司"}}, u"东方监理公司", u"东方监理公司"},
      {{{16, ""}, {18, "东方监理公司"}}, u"东方监理公司", u"东方监理公司"},
      {{}, u"", u""},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::RegisterCert("SIGNER", {row.attributes, {}});
    CBidFileReader reader;
    reader.SetBidPath(u"/b/x.bidx");
    reader.SetFolder(u"/b");
    ASSERT_EQ(reader.Open(), 0);
    EXPECT_EQ(reader.VerifyAndRead(), 0);
    EXPECT_EQ(reader.GetBidderName(), row.name);
    EXPECT_EQ(reader.GetBidderUnit(), row.unit);
  }
}

TEST_F(BidFileReaderTest, LibraryFailuresAndTheirCodes) {
  struct Row {
    const char* name;
    std::function<void()> setup;
    int result;
  };
  const Row rows[] = {
      {"verify", [] { fake::SetResult("TavikSecretFileDecryptorVerify", 42); }, 42},
      {"cert length", [] { fake::SetLengthCallResult("TavikSecretFileDecryptorGetSignCert", 1); },
       kReaderSignerCert},
      {"cert fill", [] { fake::SetFillCallResult("TavikSecretFileDecryptorGetSignCert", 1); },
       kReaderSignerCert},
      {"cert refused", [] { fake::RegisterInvalidCert("SIGNER"); }, kReaderSignerCert},
      {"custom length",
       [] { fake::SetLengthCallResult("TavikSecretFileDecryptorGetCustomData", 9); }, 9},
      {"custom fill", [] { fake::SetFillCallResult("TavikSecretFileDecryptorGetCustomData", 8); },
       8},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::ContainerScript script;
    script.custom_data = "custom";  // a non-empty block, so that the fill call happens
    fake::SetContainer(script);
    row.setup();
    CBidFileReader reader;
    reader.SetBidPath(u"/b/x.bidx");
    reader.SetFolder(u"/b");
    ASSERT_EQ(reader.Open(), 0);
    EXPECT_EQ(reader.VerifyAndRead(), row.result) << row.name;
    EXPECT_TRUE(reader.m_pCustomData.empty()) << row.name;
  }
}

TEST_F(BidFileReaderTest, OpenNeedsPathAndFolderBeforeCallingTheLibrary) {
  reader_->SetFolder(u"/b");
  EXPECT_EQ(reader_->Open(), kReaderNoInput);
  reader_->SetBidPath(u"/b/x.bidx");
  reader_->SetFolder(u"");
  EXPECT_EQ(reader_->Open(), kReaderNoInput);
  EXPECT_FALSE(fake::AnyCall());
  EXPECT_EQ(reader_->VerifyAndRead(), kReaderNoInput);
}

TEST_F(BidFileReaderTest, OpenHandsOverUtf8AndLibraryCodes) {
  reader_->SetBidPath(u"/标书/投标_P1_1.tbs.bidx");
  reader_->SetFolder(u"/标书");
  fake::SetResult("TavikSecretFileDecryptorSetFolder", 5);
  EXPECT_EQ(reader_->Open(), 5);
  EXPECT_NE(reader_->m_hDecryptor, nullptr);  // held until Close
  EXPECT_EQ(fake::Calls("TavikSecretFileDecryptorCreateHandle"),
            std::vector<std::string>{
                "TavikSecretFileDecryptorCreateHandle path=/标书/投标_P1_1.tbs.bidx"});
  reader_->Close();
  EXPECT_EQ(reader_->m_hDecryptor, nullptr);
}

TEST_F(BidFileReaderTest, SecondOpenReleasesTheFirstHandleFirst) {
  reader_->SetBidPath(u"/b/x.bidx");
  reader_->SetFolder(u"/b");
  ASSERT_EQ(reader_->Open(), 0);
  ASSERT_EQ(reader_->Open(), 0);
  const std::vector<std::string> names = fake::CallNames();
  const std::vector<std::string> expected = {
      "TavikSecretFileDecryptorCreateHandle", "TavikSecretFileDecryptorSetFolder",
      "TavikSecretFileDecryptorReleaseHandle", "TavikSecretFileDecryptorCreateHandle",
      "TavikSecretFileDecryptorSetFolder"};
  EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace brevalt
