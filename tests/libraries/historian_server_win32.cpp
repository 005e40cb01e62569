// The test suite's in-process automation server: the stand-ins of testing/historian_objects.h
// behind hand-written IDispatch objects, with no type library, registered as "VisualPHD.Data" and
// as the PI SDK's root class in the test prefix. Member names get their DISPIDs at first lookup;
// an error of a stand-in becomes DISP_E_EXCEPTION with its message, as a real server reports it.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "sources/com_variant_win32.h"
#include "sources/pi_sdk_reader.h"
#include "testing/historian_objects.h"

using tavro::AutomationObjectRef;
using tavro::AutomationValue;
using tavro::testutil::HistorianObject;
using tavro::testutil::HistorianObjects;

namespace {

// Our own class of the PHD stand-in; the PI SDK's root is registered under its real class.
constexpr CLSID kPhdClass = {0x6e1f3c52, 0x9a41, 0x4d2b, {0x8c, 0x77, 0x2b, 0x5a, 0x7e, 0x9d, 0x0f, 0x11}};
constexpr const wchar_t* kPhdClassText = L"{6E1F3C52-9A41-4D2B-8C77-2B5A7E9D0F11}";

HistorianObjects world;
std::string journalText;
std::vector<std::wstring> memberNames;  // DISPID n is memberNames[n - 1]
HMODULE thisModule;

CLSID PiSdkClass() {
  CLSID id;
  CLSIDFromString(tavro::WideText(tavro::kPiSdkClassId).c_str(), &id);
  return id;
}

IID PiSdkInterface() {
  IID id;
  IIDFromString(tavro::WideText(tavro::kPiSdkInterfaceId).c_str(), &id);
  return id;
}

DISPID MemberId(const std::wstring& name) {
  for (std::size_t i = 0; i < memberNames.size(); ++i) {
    if (memberNames[i] == name) return static_cast<DISPID>(i + 1);
  }
  memberNames.push_back(name);
  return static_cast<DISPID>(memberNames.size());
}

class Dispatch final : public IDispatch {
 public:
  explicit Dispatch(AutomationObjectRef object) : object_(std::move(object)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    // The PI SDK's interface is dual: late-bound callers use its IDispatch part only.
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == PiSdkInterface()) {
      AddRef();
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    auto* object = static_cast<HistorianObject*>(object_.get());
    HRESULT outcome = S_OK;
    for (UINT i = 0; i < count; ++i) {
      const std::wstring name = names[i];
      if (i == 0 && object->Knows(tavro::NarrowText(name.data(), name.size()))) {
        ids[i] = MemberId(name);
      } else {
        ids[i] = DISPID_UNKNOWN;
        outcome = DISP_E_UNKNOWNNAME;
      }
    }
    return outcome;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (id < 1 || static_cast<std::size_t>(id) > memberNames.size()) return DISP_E_MEMBERNOTFOUND;
    const std::wstring& wide = memberNames[static_cast<std::size_t>(id - 1)];
    const std::string member = tavro::NarrowText(wide.data(), wide.size());
    try {
      // COM hands the arguments last first.
      std::vector<AutomationValue> arguments;
      bool byReference = false;
      for (UINT i = parameters->cArgs; i > 0; --i) {
        const VARIANT& argument = parameters->rgvarg[i - 1];
        byReference = byReference || argument.vt == (VT_BYREF | VT_VARIANT);
        arguments.push_back(tavro::FromVariant(argument));
      }
      const auto wrap = [](const AutomationObjectRef& object) -> IDispatch* { return new Dispatch(object); };
      if (flags & DISPATCH_PROPERTYPUT) {
        if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
        object_->Put(member, arguments[0]);
      } else if (byReference) {
        object_->CallByReference(member, arguments);
        for (UINT i = 0; i < parameters->cArgs; ++i) {
          VARIANT& argument = parameters->rgvarg[parameters->cArgs - 1 - i];
          if (argument.vt != (VT_BYREF | VT_VARIANT)) continue;
          VariantClear(argument.pvarVal);
          tavro::ToVariant(arguments[i], *argument.pvarVal, wrap);
        }
      } else {
        const AutomationValue value = object_->Call(member, arguments);
        if (result != nullptr) tavro::ToVariant(value, *result, wrap);
      }
      return S_OK;
    } catch (const std::exception& error) {
      if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"HistorianDouble");
        const std::wstring description = tavro::WideText(error.what());
        exception->bstrDescription = SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
        exception->scode = E_FAIL;
      }
      return DISP_E_EXCEPTION;
    }
  }

 private:
  ~Dispatch() = default;
  LONG references_ = 1;
  AutomationObjectRef object_;
};

class Factory final : public IClassFactory {
 public:
  explicit Factory(bool phd) : phd_(phd) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      AddRef();
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    AutomationObjectRef object;
    try {
      object = phd_ ? world.NewPhdData() : world.NewPiSdk();
    } catch (const std::exception&) {
      return CO_E_SERVER_EXEC_FAILURE;
    }
    Dispatch* dispatch = new Dispatch(object);
    const HRESULT outcome = dispatch->QueryInterface(riid, out);
    dispatch->Release();
    return outcome;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ~Factory() = default;
  LONG references_ = 1;
  bool phd_;
};

bool SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  const std::wstring path = L"Software\\Classes\\" + key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG written =
      RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return written == ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID riid, void** out) {
  *out = nullptr;
  const bool phd = classId == kPhdClass;
  if (!phd && classId != PiSdkClass()) return CLASS_E_CLASSNOTAVAILABLE;
  Factory* factory = new Factory(phd);
  const HRESULT outcome = factory->QueryInterface(riid, out);
  factory->Release();
  return outcome;
}

// The stand-ins' state lives in this module for the life of the process.
HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(thisModule, path, MAX_PATH);
  const std::wstring piSdkClass = tavro::WideText(tavro::kPiSdkClassId);
  const std::wstring phdClass = kPhdClassText;
  const bool registered = SetKey(L"VisualPHD.Data\\CLSID", nullptr, phdClass) &&
                          SetKey(L"CLSID\\" + phdClass + L"\\ProgID", nullptr, L"VisualPHD.Data") &&
                          SetKey(L"CLSID\\" + phdClass + L"\\InprocServer32", nullptr, path) &&
                          SetKey(L"CLSID\\" + phdClass + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
                          SetKey(L"CLSID\\" + piSdkClass + L"\\InprocServer32", nullptr, path) &&
                          SetKey(L"CLSID\\" + piSdkClass + L"\\InprocServer32", L"ThreadingModel", L"Both");
  return registered ? S_OK : E_FAIL;
}

void historian_control(const char* text) { world.Control(text); }

const char* historian_journal() {
  journalText.clear();
  for (const std::string& line : world.Journal()) journalText += line + "\n";
  return journalText.c_str();
}

int historian_live_objects() { return world.LiveObjects(); }

void historian_let_go() { world.LetGo(); }

}  // extern "C"
