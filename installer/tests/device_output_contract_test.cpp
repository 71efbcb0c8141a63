// What the port-identification pages rely on from raw device output, checked against the
// in-memory devices and, under Windows or Wine, against CreateFileW and WriteFile on files.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device_backends.h"

namespace velmara::testing {
namespace {

class DeviceOutputContract : public ::testing::TestWithParam<DeviceOutputBackend> {
 protected:
  void SetUp() override { under_ = GetParam().make(); }
  DeviceOutput& output() { return under_->output(); }
  std::unique_ptr<DeviceOutputUnderTest> under_;
};

TEST_P(DeviceOutputContract, AnAbsentDeviceIsNotFound) {
  std::uint32_t error = 0;
  EXPECT_EQ(output().Open("\\\\?\\usb#vid_0416&pid_5011#absent#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}", &error),
            nullptr);
  EXPECT_EQ(error, device_error::kFileNotFound);
}

TEST_P(DeviceOutputContract, OneWriteDeliversAllItsBytes) {
  const std::string path = under_->CreateDevice("printer1");
  std::vector<std::uint8_t> bytes(300);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  {
    std::uint32_t error = 0;
    auto device = output().Open(path, &error);
    ASSERT_NE(device, nullptr) << error;
    std::uint32_t written = 0;
    ASSERT_TRUE(device->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written, &error)) << error;
    EXPECT_EQ(written, bytes.size());
  }
  EXPECT_EQ(under_->Received(path), bytes);
}

TEST_P(DeviceOutputContract, ADeviceOpenedWithoutSharingCannotBeOpenedAgainUntilClosed) {
  const std::string path = under_->CreateDevice("printer2");
  std::uint32_t error = 0;
  auto first = output().Open(path, &error);
  ASSERT_NE(first, nullptr) << error;
  EXPECT_EQ(output().Open(path, &error), nullptr);
  EXPECT_EQ(error, device_error::kSharingViolation);
  first.reset();
  EXPECT_NE(output().Open(path, &error), nullptr) << error;
}

TEST_P(DeviceOutputContract, APathWithChineseCharactersOpensItsOwnDevice) {
  const std::string path = under_->CreateDevice("打印机乗");
  std::uint32_t error = 0;
  auto device = output().Open(path, &error);
  ASSERT_NE(device, nullptr) << error;
  const std::uint8_t byte = 0x1D;
  std::uint32_t written = 0;
  ASSERT_TRUE(device->Write(&byte, 1, &written, &error));
  device.reset();
  EXPECT_EQ(under_->Received(path), std::vector<std::uint8_t>{0x1D});
}

INSTANTIATE_TEST_SUITE_P(Backends, DeviceOutputContract, ::testing::ValuesIn(DeviceOutputBackends()),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace velmara::testing
