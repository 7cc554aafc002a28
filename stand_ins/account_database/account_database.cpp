// A local account database for the test rig, standing in for the part of netapi32.dll that
// setup asks: Wine's own netapi32 knows only the current user, always at guest privilege, so
// under Wine nobody would ever be an administrator. Loaded in place of the system's netapi32
// for setup.exe alone (see README.md).
//
// The accounts are registry values: HKLM\Software\Tessaro Rig\Accounts, one REG_DWORD per user
// name holding its privilege (0 guest, 1 user, 2 administrator). A name without a value is not
// in the database.
#include <windows.h>
#include <lm.h>

namespace {

constexpr wchar_t kAccountsKey[] = L"Software\\Tessaro Rig\\Accounts";

bool LookUpPrivilege(LPCWSTR name, DWORD* privilege) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAccountsKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = REG_NONE;
  DWORD size = sizeof(*privilege);
  const LONG status =
      ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(privilege), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(*privilege);
}

}  // namespace

extern "C" NET_API_STATUS WINAPI NetUserGetInfo(LPCWSTR servername, LPCWSTR username,
                                                 DWORD level, LPBYTE* bufptr) {
  if (bufptr == nullptr || username == nullptr) return ERROR_INVALID_PARAMETER;
  *bufptr = nullptr;
  if (servername != nullptr && servername[0] != L'\0') return NERR_InvalidComputer;
  if (level != 1) return ERROR_INVALID_LEVEL;
  DWORD privilege = 0;
  if (!LookUpPrivilege(username, &privilege)) return NERR_UserNotFound;
  // One block: the record, then the name it points to.
  const SIZE_T nameBytes = (::lstrlenW(username) + 1) * sizeof(wchar_t);
  auto* info = static_cast<USER_INFO_1*>(
      ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(USER_INFO_1) + nameBytes));
  if (info == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  info->usri1_name = reinterpret_cast<LPWSTR>(info + 1);
  ::lstrcpyW(info->usri1_name, username);
  info->usri1_priv = privilege;
  info->usri1_flags = UF_SCRIPT | UF_NORMAL_ACCOUNT;
  *bufptr = reinterpret_cast<LPBYTE>(info);
  return NERR_Success;
}

extern "C" NET_API_STATUS WINAPI NetApiBufferFree(LPVOID buffer) {
  if (buffer != nullptr) ::HeapFree(::GetProcessHeap(), 0, buffer);
  return NERR_Success;
}
