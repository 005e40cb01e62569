#include <objbase.h>

#include "sources/automation.h"
#include "sources/com_variant_win32.h"

namespace tavro {
namespace {

// Whether the calling thread is in an apartment already, entered here.
thread_local bool comEntered = false;

// COM for a thread that makes objects without an apartment of its own, once; it stays initialised
// for the thread's life.
void InitializeComForThisThread() {
  if (comEntered) return;
  CoInitialize(nullptr);
  comEntered = true;
}

AutomationObjectRef Create(const CLSID& classId, const IID& interfaceId) {
  IUnknown* object = nullptr;
  ThrowIfFailed(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, interfaceId,
                         reinterpret_cast<void**>(&object)));
  IDispatch* dispatch = nullptr;
  const HRESULT late = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  object->Release();
  ThrowIfFailed(late);
  return std::make_shared<DispatchObject>(dispatch);
}

}  // namespace

AutomationApartment::AutomationApartment() {
  if (comEntered) return;
  entered_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  comEntered = entered_;
}

AutomationApartment::~AutomationApartment() {
  if (!entered_) return;
  comEntered = false;
  CoUninitialize();
}

AutomationObjectRef SystemAutomation::CreateByProgId(const std::string& progId) {
  InitializeComForThisThread();
  CLSID classId;
  ThrowIfFailed(CLSIDFromProgID(WideText(progId).c_str(), &classId));
  return Create(classId, IID_IDispatch);
}

AutomationObjectRef SystemAutomation::CreateByClassId(const std::string& classId, const std::string& interfaceId) {
  InitializeComForThisThread();
  CLSID classGuid;
  IID interfaceGuid;
  ThrowIfFailed(CLSIDFromString(WideText(classId).c_str(), &classGuid));
  ThrowIfFailed(IIDFromString(WideText(interfaceId).c_str(), &interfaceGuid));
  return Create(classGuid, interfaceGuid);
}

}  // namespace tavro
