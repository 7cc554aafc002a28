// DeviceControl against the driver double running as kernel service VTusb: what reaches the
// driver, what comes back, and what the user sees when the driver is absent.
#include "driver_link/device_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver_double_client.h"
#include "driver_link/tessaro_driver.h"
#include "driver_service.h"
#include "message_boxes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Message boxes are captioned with the program's base name: this test program's here.
constexpr char kProgramName[] = "device_control_tests";

constexpr std::uint32_t kErrorGenFailure = 31;  // the double's STATUS_UNSUCCESSFUL

// An input of `size` bytes that differs from every other request's.
Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + 7 * i);
  return bytes;
}

BOOL Send(std::uint32_t code, Bytes& input, void* output = nullptr, DWORD outputSize = 0,
          DWORD* returned = nullptr) {
  DWORD ignored = 0;
  return DeviceControl(code, input.empty() ? nullptr : input.data(),
                       static_cast<DWORD>(input.size()), output, outputSize,
                       returned != nullptr ? returned : &ignored, nullptr);
}

class DeviceControlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::DriverRunning()) << "the driver double is not running";
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(SetDriverVersion(1, 0));
    ASSERT_TRUE(ClearDriverLog());
    ASSERT_TRUE(catcher_.Installed());
  }

  void TearDown() override {
    SetFailingCodes({});
    SetDriverVersion(1, 0);
  }

  static std::vector<DriverRequest> Log(DriverLogState* state = nullptr) {
    std::vector<DriverRequest> log;
    EXPECT_TRUE(ReadDriverLog(log, state));
    return log;
  }

  support::MessageBoxCatcher catcher_;
};

struct RecordCase {
  const char* name;
  std::uint32_t code;
  std::size_t inputSize;
};

// Every request that carries input (or none), with its record size.
constexpr RecordCase kRecordCases[] = {
    {"IOCTL_SET_CAL", IOCTL_SET_CAL, 18},
    {"IOCTL_SET_CAL_5PT", IOCTL_SET_CAL_5PT, 40},
    {"IOCTL_RESET_CAL_COEFF", IOCTL_RESET_CAL_COEFF, 0},
    {"IOCTL_RESET_CAL_PTS", IOCTL_RESET_CAL_PTS, 20},
    {"IOCTL_SET_FILTER_COEFF", IOCTL_SET_FILTER_COEFF, 8},
    {"IOCTL_BEEP_MODE", IOCTL_BEEP_MODE, 1},
    {"IOCTL_BEEP_SETTING", IOCTL_BEEP_SETTING, 6},
    {"IOCTL_MAPPING", IOCTL_MAPPING, 24},
    {"IOCTL_SINGLE_MONITOR", IOCTL_SINGLE_MONITOR, 0},
    {"IOCTL_CABLE_CONNECTION", IOCTL_CABLE_CONNECTION, 1},
    {"IOCTL_PANEL_ROTATION", IOCTL_PANEL_ROTATION, 4},
    {"IOCTL_SET_CAL_TYPE", IOCTL_SET_CAL_TYPE, 1},
};

TEST_F(DeviceControlTest, EachRequestReachesTheDriverWithItsCodeAndExactInput) {
  std::uint8_t seed = 1;
  for (const RecordCase& row : kRecordCases) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(ClearDriverLog());
    Bytes input = Pattern(row.inputSize, seed);
    seed = static_cast<std::uint8_t>(seed + 40);

    EXPECT_TRUE(Send(row.code, input));

    DriverLogState state;
    const std::vector<DriverRequest> log = Log(&state);
    ASSERT_EQ(log.size(), 1U);
    EXPECT_EQ(log[0].code, row.code);
    EXPECT_EQ(log[0].inputLength, row.inputSize);
    EXPECT_EQ(log[0].input, input);
    EXPECT_EQ(log[0].outputLength, 0U);
    EXPECT_TRUE(log[0].succeeded);
    // One open and one close per request: no handle outlives it.
    EXPECT_EQ(state.creates, 1U);
    EXPECT_EQ(state.closes, 1U);
    EXPECT_EQ(state.openHandles, 0U);
  }
  EXPECT_EQ(OpenHandleCount(), 0);
  EXPECT_TRUE(catcher_.Seen().empty());
}

TEST_F(DeviceControlTest, VersionRequestYieldsTheDriversTwoBytes) {
  ASSERT_TRUE(SetDriverVersion(2, 7));
  Bytes none;
  std::uint8_t version[2] = {0xEE, 0xEE};
  DWORD returned = 0;

  EXPECT_TRUE(Send(IOCTL_GET_VERSION, none, version, sizeof(version), &returned));

  EXPECT_EQ(version[0], 2);
  EXPECT_EQ(version[1], 7);
  EXPECT_EQ(returned, 2U);
  const std::vector<DriverRequest> log = Log();
  ASSERT_EQ(log.size(), 1U);
  EXPECT_EQ(log[0].code, 0x22011cU);
  EXPECT_EQ(log[0].inputLength, 0U);
  EXPECT_EQ(log[0].outputLength, 2U);
  EXPECT_EQ(OpenHandleCount(), 0);
  EXPECT_TRUE(catcher_.Seen().empty());
}

TEST_F(DeviceControlTest, ArgumentsReachTheDriverUnchanged) {
  // DeviceControl neither checks nor corrects sizes: a wrong input length goes to the driver as
  // it is, and the driver's refusal is the answer.
  Bytes tooLong = Pattern(2, 9);
  EXPECT_FALSE(Send(IOCTL_SET_CAL_TYPE, tooLong));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  const std::vector<DriverRequest> log = Log();
  ASSERT_EQ(log.size(), 1U);
  EXPECT_EQ(log[0].code, IOCTL_SET_CAL_TYPE);
  EXPECT_EQ(log[0].inputLength, 2U);
  EXPECT_EQ(log[0].input, tooLong);
  EXPECT_FALSE(log[0].succeeded);
  EXPECT_EQ(OpenHandleCount(), 0);
  // Only a failed open is reported to the user.
  EXPECT_TRUE(catcher_.Seen().empty());
}

TEST_F(DeviceControlTest, RefusedRequestReturnsFalseWithoutMessage) {
  ASSERT_TRUE(SetFailingCodes({IOCTL_SET_CAL_TYPE}));
  Bytes calType{3};
  Bytes cable{1};

  EXPECT_FALSE(Send(IOCTL_SET_CAL_TYPE, calType));
  EXPECT_EQ(::GetLastError(), kErrorGenFailure);
  // Codes that are not refused still go through.
  EXPECT_TRUE(Send(IOCTL_CABLE_CONNECTION, cable));

  const std::vector<DriverRequest> log = Log();
  ASSERT_EQ(log.size(), 2U);
  EXPECT_EQ(log[0].code, IOCTL_SET_CAL_TYPE);
  EXPECT_EQ(log[0].input, calType);
  EXPECT_FALSE(log[0].succeeded);
  EXPECT_EQ(log[1].code, IOCTL_CABLE_CONNECTION);
  EXPECT_TRUE(log[1].succeeded);
  EXPECT_EQ(OpenHandleCount(), 0);
  EXPECT_TRUE(catcher_.Seen().empty());
}

TEST_F(DeviceControlTest, AbsentDriverShowsDriverNotLoadedOncePerRequest) {
  struct AbsentCase {
    const char* name;
    std::uint32_t code;
    std::size_t inputSize;
    DWORD outputSize;
  };
  constexpr AbsentCase kAbsentCases[] = {
      {"IOCTL_SET_CAL_TYPE", IOCTL_SET_CAL_TYPE, 1, 0},
      {"IOCTL_SET_CAL_5PT", IOCTL_SET_CAL_5PT, 40, 0},
      {"IOCTL_GET_VERSION", IOCTL_GET_VERSION, 0, 2},
  };

  {
    support::DriverAbsent absent;
    ASSERT_TRUE(absent.Stopped());
    for (const AbsentCase& row : kAbsentCases) {
      SCOPED_TRACE(row.name);
      catcher_.Clear();
      Bytes input = Pattern(row.inputSize, 0x30);
      std::uint8_t output[2] = {0xEE, 0xEE};

      EXPECT_FALSE(Send(row.code, input, row.outputSize > 0 ? output : nullptr, row.outputSize));

      ASSERT_EQ(catcher_.Seen().size(), 1U);
      EXPECT_EQ(catcher_.Seen()[0].text, "Driver not loaded!");
      EXPECT_EQ(catcher_.Seen()[0].caption, kProgramName);
      EXPECT_EQ(output[0], 0xEE);
      EXPECT_EQ(output[1], 0xEE);
    }
  }

  // Nothing is retried, and a driver that is loaded again serves the next request.
  ASSERT_TRUE(support::DriverRunning());
  ASSERT_TRUE(ClearDriverLog());
  catcher_.Clear();
  Bytes calType{2};
  EXPECT_TRUE(Send(IOCTL_SET_CAL_TYPE, calType));
  const std::vector<DriverRequest> log = Log();
  ASSERT_EQ(log.size(), 1U);
  EXPECT_EQ(log[0].input, calType);
  EXPECT_TRUE(catcher_.Seen().empty());
}

}  // namespace
