#include "driver_log.h"

#include <iomanip>

#include "driver_double_client.h"
#include "wait.h"

namespace support {

void PrintTo(const Sent& sent, std::ostream* out) {
  *out << "0x" << std::hex << sent.code << " [";
  for (std::size_t i = 0; i < sent.input.size(); ++i) {
    *out << (i ? " " : "") << std::setw(2) << std::setfill('0') << int{sent.input[i]};
  }
  *out << "]" << std::dec;
}

std::vector<Sent> TakeSent() {
  std::vector<DriverRequest> log;
  EXPECT_TRUE(ReadDriverLog(log));
  EXPECT_TRUE(ClearDriverLog());
  std::vector<Sent> sent;
  for (const DriverRequest& request : log) sent.push_back({request.code, request.input});
  return sent;
}

testing::AssertionResult DriverReceived(const std::vector<Sent>& expected) {
  std::vector<DriverRequest> log;
  WaitUntil([&] { return ReadDriverLog(log) && log.size() >= expected.size(); });
  const std::vector<Sent> sent = TakeSent();
  if (sent == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "the driver received " << testing::PrintToString(sent)
         << "\n                   expected " << testing::PrintToString(expected);
}

}  // namespace support
