#include "sources/pi_api_binding.h"

#include <string_view>

#include "support/text.h"

namespace tavro {
namespace {

template <typename Function>
void Take(Function& call, EntryPoint entry) {
  call = reinterpret_cast<Function>(entry);
}

consteval std::size_t IndexOf(std::string_view name) {
  for (std::size_t i = 0; i < kPiApiEntryPoints.size(); ++i) {
    if (name == kPiApiEntryPoints[i]) return i;
  }
  throw "not a PI API entry point";
}

}  // namespace

void PiApiBinding::BindPiApi() {
  for (const std::string& candidate : location_.candidates) {
    PiApiLibrary_ = DynamicLibrary::Load(candidate);
    if (PiApiLibrary_) break;
  }
  if (!PiApiLibrary_) return;
  for (std::size_t i = 0; i < kPiApiEntryPoints.size(); ++i) slots_[i] = PiApiLibrary_->Find(kPiApiEntryPoints[i]);
}

std::string PiApiBinding::LoadPiApi() {
  std::string report;
  if (PiApiBound_) return report;
  if (!PiApiLibrary_) BindPiApi();
  if (!PiApiLibrary_) return location_.reportName + " cannot be loaded";
  for (std::size_t i = 0; i < kPiApiEntryPoints.size(); ++i) {
    if (slots_[i] == nullptr) report += std::string(kPiApiEntryPoints[i]) + " is not loaded" + kLineBreak;
  }
  PiApiBound_ = report.empty();
  if (PiApiBound_) {
    Take(calls_.piut_connect, slots_[IndexOf("piut_connect")]);
    Take(calls_.piut_disconnect, slots_[IndexOf("piut_disconnect")]);
    Take(calls_.piut_login, slots_[IndexOf("piut_login")]);
    Take(calls_.piut_setservernode, slots_[IndexOf("piut_setservernode")]);
    Take(calls_.pipt_findpoint, slots_[IndexOf("pipt_findpoint")]);
    Take(calls_.piar_value, slots_[IndexOf("piar_value")]);
  }
  return report;
}

}  // namespace tavro
