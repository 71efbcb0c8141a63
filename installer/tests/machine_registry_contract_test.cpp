// What USB discovery relies on from the machine registry, checked against the in-memory registry
// and, under Wine, against the real one.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "machine_registry_backends.h"

namespace velmara::testing {
namespace {

const std::string kScratch = "SOFTWARE\\VelmaraMachineRegistryContract";
constexpr std::uint32_t kUntouched = 0xDEADBEEF;

class MachineRegistryContract : public ::testing::TestWithParam<MachineRegistryBackend> {
 protected:
  void SetUp() override {
    under_ = GetParam().make();
    under_->RemoveTree(kScratch);
    under_->CreateKey(kScratch);
  }
  void TearDown() override { under_->RemoveTree(kScratch); }

  MachineRegistry& registry() { return under_->registry(); }

  std::unique_ptr<MachineRegistryKey> Open(const std::string& path, std::uint32_t access = reg::kRead) {
    std::unique_ptr<MachineRegistryKey> key;
    EXPECT_EQ(registry().OpenKey(path, access, &key), reg::kSuccess) << path;
    return key;
  }

  std::unique_ptr<MachineRegistryUnderTest> under_;
};

TEST_P(MachineRegistryContract, AMissingKeyIsNotFoundAndGivesNoKey) {
  std::unique_ptr<MachineRegistryKey> key;
  EXPECT_EQ(registry().OpenKey(kScratch + "\\Missing", reg::kRead, &key), reg::kFileNotFound);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(registry().OpenKey(kScratch + "\\Missing\\Deeper", reg::kRead, &key), reg::kFileNotFound);
}

TEST_P(MachineRegistryContract, KeyAndValueNamesMatchInAnyLetterCase) {
  under_->SetValue(kScratch + "\\##?#USB#VID_0416&PID_5011#A1#{28D78FAD}\\#\\Device Parameters", "Port Number",
                   reg::kTypeDword, DwordBytes(7));
  auto key = Open(kScratch + "\\##?#usb#vid_0416&pid_5011#a1#{28d78fad}\\#\\DEVICE PARAMETERS");
  ASSERT_NE(key, nullptr);
  std::array<std::uint8_t, 4> data{};
  std::uint32_t type = kUntouched;
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  ASSERT_EQ(key->QueryValue("port number", &type, data.data(), &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kTypeDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data, (std::array<std::uint8_t, 4>{7, 0, 0, 0}));
}

TEST_P(MachineRegistryContract, NamesWithChineseCharactersPassWhole) {
  // In GBK the second byte of 乗 is a backslash; as UTF-16 it is one character.
  under_->SetValue(kScratch + "\\打印机乗\\端口", "值乗", reg::kTypeDword, DwordBytes(3));
  auto key = Open(kScratch + "\\打印机乗\\端口");
  ASSERT_NE(key, nullptr);
  std::uint32_t size = 0;
  EXPECT_EQ(key->QueryValue("值乗", nullptr, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(size, 4u);
  std::unique_ptr<MachineRegistryKey> none;
  EXPECT_EQ(registry().OpenKey(kScratch + "\\打印机", reg::kRead, &none), reg::kFileNotFound);
}

TEST_P(MachineRegistryContract, TheValueIsReturnedAsStoredAndTheRestOfTheBufferUntouched) {
  under_->SetValue(kScratch, "Text", reg::kTypeSz, SzBytes("ab"));
  auto key = Open(kScratch);
  ASSERT_NE(key, nullptr);
  std::array<std::uint8_t, 12> data;
  data.fill(0xCC);
  std::uint32_t type = kUntouched;
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  ASSERT_EQ(key->QueryValue("Text", &type, data.data(), &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kTypeSz);
  EXPECT_EQ(size, 6u) << "two UTF-16 characters and the terminator";
  EXPECT_EQ(data, (std::array<std::uint8_t, 12>{'a', 0, 'b', 0, 0, 0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}));
}

TEST_P(MachineRegistryContract, ATooSmallBufferGivesMoreDataAndTheSizeNeeded) {
  under_->SetValue(kScratch, "Big", reg::kTypeBinary, std::vector<std::uint8_t>(300, 0x5A));
  auto key = Open(kScratch);
  ASSERT_NE(key, nullptr);
  std::vector<std::uint8_t> data(261, 0);
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  std::uint32_t type = kUntouched;
  EXPECT_EQ(key->QueryValue("Big", &type, data.data(), &size), reg::kMoreData);
  EXPECT_EQ(size, 300u);
  EXPECT_EQ(type, reg::kTypeBinary);
}

TEST_P(MachineRegistryContract, WithoutABufferOnlyTypeAndSizeAreReported) {
  under_->SetValue(kScratch, "Linked", reg::kTypeDword, DwordBytes(1));
  auto key = Open(kScratch);
  ASSERT_NE(key, nullptr);
  std::uint32_t type = kUntouched;
  std::uint32_t size = 0;
  EXPECT_EQ(key->QueryValue("Linked", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kTypeDword);
  EXPECT_EQ(size, 4u);
}

TEST_P(MachineRegistryContract, AMissingValueIsNotFoundAndLeavesTheOutputsAlone) {
  auto key = Open(kScratch);
  ASSERT_NE(key, nullptr);
  std::array<std::uint8_t, 4> data{9, 9, 9, 9};
  std::uint32_t type = kUntouched;
  std::uint32_t size = static_cast<std::uint32_t>(data.size());
  EXPECT_EQ(key->QueryValue("Port Number", &type, data.data(), &size), reg::kFileNotFound);
  EXPECT_EQ(type, kUntouched);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data, (std::array<std::uint8_t, 4>{9, 9, 9, 9}));
}

TEST_P(MachineRegistryContract, AHandleWithoutTheQueryRightCannotRead) {
  under_->SetValue(kScratch, "Linked", reg::kTypeDword, DwordBytes(1));
  auto key = Open(kScratch, reg::kEnumerateSubKeys);
  ASSERT_NE(key, nullptr);
  std::uint32_t size = 0;
  EXPECT_EQ(key->QueryValue("Linked", nullptr, nullptr, &size), reg::kAccessDenied);
}

INSTANTIATE_TEST_SUITE_P(Backends, MachineRegistryContract, ::testing::ValuesIn(MachineRegistryBackends()),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace velmara::testing
