#include "common/present_devices.h"

#include <vector>

namespace hwid {
namespace {

enum class IdRead { kRead, kNoIdentifier, kFailed };

// One device's list into `ids`, its capacity followed by two zero bytes whatever the read gave.
IdRead ReadIds(HDEVINFO set, SP_DEVINFO_DATA& device, const IdScan& scan, std::vector<char>& ids,
               DWORD& reported) {
  DWORD size = scan.firstSize;
  for (int attempt = 0;; ++attempt) {
    ids.assign(size + 2, '\0');
    reported = 0;
    if (::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                            reinterpret_cast<BYTE*>(ids.data()), size, &reported)) {
      return IdRead::kRead;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_INVALID_DATA) return IdRead::kNoIdentifier;
    if (error != ERROR_INSUFFICIENT_BUFFER) return IdRead::kFailed;
    switch (scan.reRead) {
      case ReRead::kNever:
        return IdRead::kFailed;
      case ReRead::kOnce:
        if (attempt > 0) return IdRead::kFailed;
        break;
      case ReRead::kWhileGrowing:
        // A size that does not grow would ask again for ever.
        if (reported <= size) return IdRead::kFailed;
        break;
    }
    size = reported;
  }
}

}  // namespace

ScanEnd ScanPresentDeviceIds(const IdScan& scan, const IdVisitor& visit) {
  HDEVINFO set =
      ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) return ScanEnd::kFailed;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  std::vector<char> ids;
  ScanEnd end = ScanEnd::kCompleted;
  for (DWORD index = 0; end == ScanEnd::kCompleted && ::SetupDiEnumDeviceInfo(set, index, &device);
       ++index) {
    DWORD reported = 0;
    const IdRead read = ReadIds(set, device, scan, ids, reported);
    if (read == IdRead::kFailed && scan.onFailure == OnFailure::kEndScan) {
      end = ScanEnd::kFailed;
    } else if (read == IdRead::kRead && visit(set, device, ids.data(), ids.size() - 2, reported)) {
      end = ScanEnd::kStopped;
    }
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return end;
}

}  // namespace hwid
