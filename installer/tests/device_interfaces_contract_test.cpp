// What USB discovery relies on from the device-interface lists, checked against the in-memory
// lists and, under Wine, against SetupAPI with interfaces registered the way Windows records them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device_backends.h"

namespace velmara::testing {
namespace {

struct Listed {
  std::uint32_t flags;
  std::string devicePath;
  bool operator==(const Listed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Listed& l) { return os << l.flags << " " << l.devicePath; }

class DeviceInterfacesContract : public ::testing::TestWithParam<UsbSystemBackend> {
 protected:
  void SetUp() override {
    system_ = GetParam().make();
    if (!system_->CanRegister()) GTEST_SKIP() << "only Wine takes devices from its registry";
  }
  void TearDown() override {
    if (system_) system_->RemoveRegistered();
  }

  std::unique_ptr<DeviceInterfaceList> Open() {
    std::uint32_t error = 0;
    auto list = system_->interfaces().OpenPresent(kScratchInterfaceClass, &error);
    EXPECT_NE(list, nullptr) << "error " << error;
    return list;
  }

  // Every member up to the end of the list, with the error code that ended it.
  std::vector<Listed> ListAll(DeviceInterfaceList& list, std::uint32_t* endError) {
    std::vector<Listed> all;
    for (std::uint32_t i = 0; i < 100; ++i) {
      std::uint32_t flags = 0xFFFF;
      if (!list.Enumerate(i, &flags, endError)) break;
      std::string path;
      std::uint32_t error = 0;
      EXPECT_TRUE(list.ReadDevicePath(i, &path, &error)) << "member " << i << " error " << error;
      all.push_back({flags, path});
    }
    return all;
  }

  std::unique_ptr<UsbSystemUnderTest> system_;
};

TEST_P(DeviceInterfacesContract, AClassWithoutInterfacesGivesAnEmptyList) {
  auto list = Open();
  ASSERT_NE(list, nullptr);
  std::uint32_t flags = 0xFFFF;
  std::uint32_t error = 0;
  EXPECT_FALSE(list->Enumerate(0, &flags, &error));
  EXPECT_EQ(error, device_error::kNoMoreItems);
  std::string path = "untouched";
  EXPECT_FALSE(list->ReadDevicePath(0, &path, &error));
  EXPECT_EQ(path, "untouched");
}

TEST_P(DeviceInterfacesContract, LinkedInterfacesAreListedActiveWithTheirPathsInLowerCase) {
  // Registered in the order of their key names, the order Wine lists them in.
  const std::string first = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT01", true, 1);
  const std::string second = system_->Register(kScratchInterfaceClass, "VID_1FC9&PID_2016", "CT02", true, 2);
  EXPECT_EQ(first, "\\\\?\\usb#vid_0416&pid_5011#ct01#" + GuidText(kScratchInterfaceClass));

  auto list = Open();
  ASSERT_NE(list, nullptr);
  std::uint32_t endError = 0;
  EXPECT_EQ(ListAll(*list, &endError),
            (std::vector<Listed>{{kInterfaceActive, first}, {kInterfaceActive, second}}));
  EXPECT_EQ(endError, device_error::kNoMoreItems);
}

TEST_P(DeviceInterfacesContract, AnUnlinkedInterfaceIsNotListedAsActive) {
  const std::string off = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT11", false, 1);
  const std::string on = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT12", true, 2);
  auto list = Open();
  ASSERT_NE(list, nullptr);
  std::uint32_t endError = 0;
  const std::vector<Listed> all = ListAll(*list, &endError);
  if (system_->IsWine()) {
    EXPECT_EQ(all, (std::vector<Listed>{{kInterfaceActive, on}}))
        << "Wine leaves a disabled interface out of the list of a present device";
  } else {
    EXPECT_EQ(all, (std::vector<Listed>{{0, off}, {kInterfaceActive, on}}))
        << "Windows lists the disabled interface of a present device, without SPINT_ACTIVE";
  }
}

TEST_P(DeviceInterfacesContract, AMembersPathCanBeReadInAnyOrder) {
  const std::string first = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT21", true, 1);
  const std::string second = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT22", true, 2);
  auto list = Open();
  ASSERT_NE(list, nullptr);
  std::uint32_t flags = 0;
  std::uint32_t error = 0;
  ASSERT_TRUE(list->Enumerate(1, &flags, &error));
  std::string path;
  ASSERT_TRUE(list->ReadDevicePath(0, &path, &error)) << error;
  EXPECT_EQ(path, first);
  ASSERT_TRUE(list->ReadDevicePath(1, &path, &error)) << error;
  EXPECT_EQ(path, second);
}

TEST_P(DeviceInterfacesContract, AListKeepsTheInterfacesThereWereWhenItWasOpened) {
  const std::string first = system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT31", true, 1);
  auto list = Open();
  ASSERT_NE(list, nullptr);
  system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT32", true, 2);
  std::uint32_t endError = 0;
  EXPECT_EQ(ListAll(*list, &endError), (std::vector<Listed>{{kInterfaceActive, first}}));
  EXPECT_EQ(ListAll(*Open(), &endError).size(), 2u);
}

TEST_P(DeviceInterfacesContract, AnotherClassIsNotListed) {
  system_->Register(kScratchInterfaceClass, "VID_0416&PID_5011", "CT41", true, 1);
  std::uint32_t error = 0;
  DeviceClassGuid other = kScratchInterfaceClass;
  other.data1 ^= 1;
  auto list = system_->interfaces().OpenPresent(other, &error);
  ASSERT_NE(list, nullptr);
  std::uint32_t flags = 0;
  EXPECT_FALSE(list->Enumerate(0, &flags, &error));
  EXPECT_EQ(error, device_error::kNoMoreItems);
}

INSTANTIATE_TEST_SUITE_P(Backends, DeviceInterfacesContract, ::testing::ValuesIn(UsbSystemBackends()),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace velmara::testing
