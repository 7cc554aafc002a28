// The hardware identifiers of the present devices, read one device after the other in the
// system's enumeration order. Win32 only: the portable rules on the identifiers themselves are in
// hardware_id.h. Each caller says how a read that finds its buffer too small is repeated and
// what a failed read does to the scan.
#pragma once

// clang-format off
#include <windows.h>
#include <setupapi.h>
// clang-format on

#include <cstddef>
#include <functional>

namespace hwid {

// A read that finds its buffer too small: given up, repeated once at the size the system asks
// for, or repeated for as long as that size grows.
enum class ReRead { kNever, kOnce, kWhileGrowing };
// A read that fails (other than for a device without hardware ids, which is always passed over):
// the device is passed over, or the whole scan ends.
enum class OnFailure { kSkipDevice, kEndScan };

struct IdScan {
  DWORD firstSize;
  ReRead reRead;
  OnFailure onFailure;
};

enum class ScanEnd { kCompleted, kStopped, kFailed };

// Sees one device's identifier list as read into `capacity` bytes, `reported` the size the read
// gave; two zero bytes follow the capacity. Returns true to stop the scan.
using IdVisitor = std::function<bool(HDEVINFO set, SP_DEVINFO_DATA& device, const char* ids,
                                     std::size_t capacity, std::size_t reported)>;

// kStopped when the visitor stopped the scan; kFailed when the device list could not be had or a
// failed read ended the scan.
ScanEnd ScanPresentDeviceIds(const IdScan& scan, const IdVisitor& visit);

}  // namespace hwid
