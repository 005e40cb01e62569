// The file's owner and access list say who may change or read it. An owner may always rewrite the
// access list, so an owner who is not trusted counts as one who may change the file. Denials are
// taken into account for the account they name; a denial through a group an account is in is not
// followed, so the answer errs towards a warning.

#include "support/file_access.h"

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <utility>

namespace tavro {
namespace {

// The local group whose members may edit the configuration and read the logs (made by the
// installer, see docs/windows.md).
constexpr char kOperatorsGroup[] = "Tavro Operators";

constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr ACCESS_MASK kReadRights = FILE_READ_DATA;

std::string SidBytes(PSID sid) {
  return std::string(static_cast<const char*>(sid), GetLengthSid(sid));
}

std::string WellKnown(WELL_KNOWN_SID_TYPE type) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof sid;
  return CreateWellKnownSid(type, nullptr, sid, &size) ? SidBytes(sid) : std::string();
}

std::string AccountNamed(const char* name) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof sid;
  char domain[256];
  DWORD domainSize = sizeof domain;
  SID_NAME_USE use;
  return LookupAccountNameA(nullptr, name, sid, &size, domain, &domainSize, &use) ? SidBytes(sid) : std::string();
}

std::string OwnAccount() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  const bool known = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  return known ? SidBytes(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid) : std::string();
}

// `ownerCounts`: an owner who is not trusted counts as granted the rights (for a change: the owner
// may always rewrite the access list).
bool GrantedToOthers(const std::string& path, ACCESS_MASK rights, bool ownerCounts,
                     const std::vector<std::string>& trusted) {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            &owner, nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const auto isTrusted = [&trusted](PSID sid) {
    return std::find(trusted.begin(), trusted.end(), SidBytes(sid)) != trusted.end();
  };
  // No access list at all lets everyone do everything.
  bool granted = list == nullptr || (ownerCounts && owner != nullptr && !isTrusted(owner));
  std::vector<std::pair<std::string, ACCESS_MASK>> denied;
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  for (DWORD i = 0; !granted && i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, i, reinterpret_cast<void**>(&header)) || (header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
    // Allowed and denied entries share their layout: the mask, then the account.
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
    const std::string account = SidBytes(&entry->SidStart);
    ACCESS_MASK mask = entry->Mask;
    MapGenericMask(&mask, &mapping);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
      denied.emplace_back(account, mask);
    } else if (header->AceType == ACCESS_ALLOWED_ACE_TYPE && !isTrusted(&entry->SidStart)) {
      for (const auto& [refusedTo, refused] : denied) {
        if (refusedTo == account) mask &= ~refused;
      }
      granted = (mask & rights) != 0;
    }
  }
  LocalFree(descriptor);
  return granted;
}

}  // namespace

OtherAccounts::OtherAccounts() {
  for (std::string sid : {WellKnown(WinLocalSystemSid), WellKnown(WinBuiltinAdministratorsSid),
                          AccountNamed("NT SERVICE\\TrustedInstaller"), AccountNamed(kOperatorsGroup), OwnAccount()}) {
    if (!sid.empty()) trusted_.push_back(std::move(sid));
  }
}

bool OtherAccounts::MayWrite(const std::string& path) const { return GrantedToOthers(path, kChangeRights, true, trusted_); }
bool OtherAccounts::MayRead(const std::string& path) const { return GrantedToOthers(path, kReadRights, false, trusted_); }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tavro
