#include <objbase.h>

#include "sources/automation.h"
#include "sources/com_variant_win32.h"

namespace tavro {
namespace {

// COM for the thread that makes the objects, once; it stays initialised for the thread's life.
void InitializeComForThisThread() {
  thread_local bool initialized = false;
  if (initialized) return;
  CoInitialize(nullptr);
  initialized = true;
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
