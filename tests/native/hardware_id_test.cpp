// Native tests of the hardware-identifier walk: the controller revision from a device's
// hardware-id multi-string, and setup's check for the controller's identifier.
#include "common/hardware_id.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace hwid {
namespace {

// The bytes of a multi-string: each string with its NUL, then the final empty string.
std::vector<char> MultiString(const std::vector<std::string>& strings) {
  std::vector<char> bytes;
  for (const std::string& text : strings) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back('\0');
  }
  bytes.push_back('\0');
  return bytes;
}

// One list as read: its bytes, the size the read reported, and the expected answers.
struct Case {
  const char* name;
  std::string bytes;     // the readable bytes, NULs included
  std::size_t reported;  // the size the read reported
  std::optional<ControllerRevision> revision;
  bool hasId;
};

std::string Bytes(const std::vector<std::string>& strings) {
  const std::vector<char> list = MultiString(strings);
  return {list.begin(), list.end()};
}

const std::string kId0120 = "USB\\Vid_0d7a&Pid_3000&Rev_0120";
const std::string kPrefix = kControllerPrefix;

class WalkTest : public testing::TestWithParam<Case> {};

TEST_P(WalkTest, RevisionAndIdentifier) {
  const Case& c = GetParam();
  // Heap copy of exactly the readable bytes: a read past them is an ASan finding.
  std::vector<char> buffer(c.bytes.begin(), c.bytes.end());
  const char* data = buffer.empty() ? nullptr : buffer.data();
  const std::optional<ControllerRevision> revision =
      FindControllerRevision(data, buffer.size(), c.reported);
  ASSERT_EQ(revision.has_value(), c.revision.has_value());
  if (revision) {
    EXPECT_EQ(revision->major, c.revision->major);
    EXPECT_EQ(revision->minor, c.revision->minor);
  }
  EXPECT_EQ(HasControllerId(data, buffer.size(), c.reported), c.hasId);
}

std::string NoFinalEmpty(const std::vector<std::string>& strings) {
  std::string bytes = Bytes(strings);
  bytes.pop_back();
  return bytes;
}

std::string NoLastNul(const std::vector<std::string>& strings) {
  std::string bytes = NoFinalEmpty(strings);
  bytes.pop_back();
  return bytes;
}

constexpr ControllerRevision k120{1, 20};

const Case kCases[] = {
    {"Rev0120", Bytes({kId0120}), Bytes({kId0120}).size(), k120, true},
    {"Rev0105", Bytes({kPrefix + "0105"}), Bytes({kPrefix + "0105"}).size(),
     ControllerRevision{1, 5}, true},
    {"LowerCase", Bytes({"usb\\vid_0d7a&pid_3000&rev_0120"}), 32, k120, true},
    {"UpperCase", Bytes({"USB\\VID_0D7A&PID_3000&REV_0120"}), 32, k120, true},
    {"SecondString", Bytes({"USB\\Vid_0d7a&Pid_3000", kId0120}), 53, k120, true},
    {"FirstMatchWins", Bytes({kId0120, kPrefix + "0105"}), 64, k120, true},
    {"OtherDevice", Bytes({"PCI\\VEN_8086&DEV_1237", "PCI\\CC_0600"}), 35, std::nullopt, false},
    {"LetterInRevision", Bytes({kPrefix + "01a5"}), 32, ControllerRevision{1, 495}, true},
    {"SignedByteRevision",
     Bytes({kPrefix + "\xff"
                      "120"}),
     32, ControllerRevision{-489, 20}, true},
    {"WithoutFinalEmpty", NoFinalEmpty({kId0120}), 31, k120, true},
    {"WithoutLastNul", NoLastNul({kId0120}), 30, k120, true},
    {"WithoutLastNulCutRevision", NoLastNul({kPrefix + "01"}), 28, std::nullopt, true},
    // The read reported fewer bytes than the buffer holds: the revision lies beyond them.
    {"ReportedShorterThanBuffer", Bytes({kId0120}), 29, std::nullopt, true},
    {"ReportedCutsPrefix", Bytes({kId0120}), 20, std::nullopt, false},
    {"ReportedBeyondBuffer", NoLastNul({kId0120}), 256, k120, true},
    {"SecondStringBeyondReported", Bytes({"ROOT\\X", kId0120}), 7, std::nullopt, false},
    {"EndsRightAfterPrefix", Bytes({kPrefix, kId0120}), 59, k120, true},
    {"EndsRightAfterPrefixAlone", Bytes({kPrefix}), 28, std::nullopt, true},
    {"EndsTwoCharactersLater", Bytes({kPrefix + "01"}), 30, std::nullopt, true},
    {"EndsThreeCharactersLater", Bytes({kPrefix + "012"}), 31, std::nullopt, true},
    {"StopsAtEmptyString", Bytes({"ROOT\\X"}) + Bytes({kId0120}), 40, std::nullopt, false},
    {"ShorterThanPrefix", Bytes({"USB\\Vid_0d7a"}), 14, std::nullopt, false},
    {"PrefixMisspelt", Bytes({"USB\\Vid_0d7a&Pid_3001&Rev_0120"}), 32, std::nullopt, false},
    {"EmptyList", Bytes({}), 1, std::nullopt, false},
    {"ReportedZero", Bytes({kId0120}), 0, std::nullopt, false},
    {"NoBytes", "", 0, std::nullopt, false},
};

INSTANTIATE_TEST_SUITE_P(HardwareId, WalkTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& param) {
                           return param.param.name;
                         });

TEST(HardwareIdTest, PrefixHasItsTwentySixCharacters) {
  EXPECT_EQ(std::string(kControllerPrefix).size(), 26U);
}

}  // namespace
}  // namespace hwid
