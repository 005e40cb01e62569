#include "sources/com_variant_win32.h"

#include <cstdio>

#include "support/text.h"

namespace tavro {
namespace {

// VARIANTs that are cleared however the scope is left.
class Variants {
 public:
  explicit Variants(std::size_t count) : items(count) {
    for (VARIANT& item : items) VariantInit(&item);
  }
  ~Variants() {
    for (VARIANT& item : items) VariantClear(&item);
  }
  Variants(const Variants&) = delete;
  Variants& operator=(const Variants&) = delete;
  std::vector<VARIANT> items;
};

std::string TakeBstr(BSTR& text) {
  std::string narrow = text ? NarrowText(text, SysStringLen(text)) : std::string();
  SysFreeString(text);
  text = nullptr;
  return narrow;
}

// The server's own description of the exception it raised.
std::string ExceptionMessage(EXCEPINFO& exception) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  TakeBstr(exception.bstrSource);
  TakeBstr(exception.bstrHelpFile);
  const std::string description = TakeBstr(exception.bstrDescription);
  if (!TrimBlanks(description).empty()) return description;
  return ComErrorMessage(exception.scode != 0 ? exception.scode : DISP_E_EXCEPTION);
}

AutomationArray FromSafeArray(SAFEARRAY* array, VARTYPE elementType) {
  if (array == nullptr) return {};
  if (SafeArrayGetDim(array) != 1) throw AutomationError("Only one-dimensional variant arrays are supported");
  LONG lower = 0, upper = -1;
  ThrowIfFailed(SafeArrayGetLBound(array, 1, &lower));
  ThrowIfFailed(SafeArrayGetUBound(array, 1, &upper));
  AutomationArray result;
  result.lowerBound = lower;
  for (LONG i = lower; i <= upper; ++i) {
    Variants element(1);
    VARIANT& item = element.items[0];
    if (elementType == VT_VARIANT) {
      ThrowIfFailed(SafeArrayGetElement(array, &i, &item));
    } else {
      // Every member of the VARIANT's value union starts at the same place.
      ThrowIfFailed(SafeArrayGetElement(array, &i, &item.llVal));
      item.vt = elementType;
    }
    result.elements.push_back(FromVariant(item));
  }
  return result;
}

// Objects go back to COM as the IDispatch they came from.
IDispatch* DispatchOfClient(const AutomationObjectRef& object) {
  auto* client = dynamic_cast<DispatchObject*>(object.get());
  if (client == nullptr) throw AutomationError("Only COM objects can be passed to a COM object");
  client->Dispatch()->AddRef();
  return client->Dispatch();
}

void ToVariants(const std::vector<AutomationValue>& values, std::vector<VARIANT>& out) {
  for (std::size_t i = 0; i < values.size(); ++i) ToVariant(values[i], out[i], DispatchOfClient);
}

}  // namespace

std::wstring WideText(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string NarrowText(const wchar_t* text, std::size_t length) {
  if (length == 0) return {};
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

std::string ComErrorMessage(HRESULT result) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string message = length > 0 ? TrimBlanks(std::string(buffer, length)) : std::string();
  LocalFree(buffer);
  if (!message.empty()) return message;
  char code[32];
  std::snprintf(code, sizeof code, "OLE error %08lX", static_cast<unsigned long>(result));
  return code;
}

void ThrowIfFailed(HRESULT result) {
  if (FAILED(result)) throw AutomationError(ComErrorMessage(result));
}

AutomationValue FromVariant(const VARIANT& variant) {
  // The conversion functions take no const source, though they do not change it.
  VARIANT* source = const_cast<VARIANT*>(&variant);
  if (variant.vt & VT_BYREF) {
    Variants plain(1);
    ThrowIfFailed(VariantCopyInd(&plain.items[0], source));
    return FromVariant(plain.items[0]);
  }
  if (variant.vt & VT_ARRAY) return FromSafeArray(variant.parray, variant.vt & VT_TYPEMASK);
  switch (variant.vt) {
    case VT_EMPTY:
      return {};
    case VT_NULL:
      return AutomationNull{};
    case VT_BOOL:
      return variant.boolVal != VARIANT_FALSE;
    case VT_I4:
      return static_cast<std::int32_t>(variant.lVal);
    case VT_R8:
      return variant.dblVal;
    case VT_DATE:
      return FromDayCount(variant.date);
    case VT_BSTR:
      return variant.bstrVal ? NarrowText(variant.bstrVal, SysStringLen(variant.bstrVal)) : std::string();
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      if (variant.punkVal == nullptr) return AutomationObjectRef{};
      IDispatch* dispatch = nullptr;
      ThrowIfFailed(variant.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
      return AutomationObjectRef(std::make_shared<DispatchObject>(dispatch));
    }
    case VT_I1:
    case VT_I2:
    case VT_INT:
    case VT_UI1:
    case VT_UI2: {
      Variants integer(1);
      ThrowIfFailed(VariantChangeType(&integer.items[0], source, 0, VT_I4));
      return static_cast<std::int32_t>(integer.items[0].lVal);
    }
    case VT_UI4:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_CY:
    case VT_DECIMAL: {
      Variants number(1);
      ThrowIfFailed(VariantChangeType(&number.items[0], source, 0, VT_R8));
      return number.items[0].dblVal;
    }
    default:
      throw AutomationError("Variant of type " + std::to_string(variant.vt) + " is not supported");
  }
}

void ToVariant(const AutomationValue& value, VARIANT& out, const DispatchOf& dispatchOf) {
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out.vt = VT_EMPTY;
        } else if constexpr (std::is_same_v<T, AutomationNull>) {
          out.vt = VT_NULL;
        } else if constexpr (std::is_same_v<T, bool>) {
          out.vt = VT_BOOL;
          out.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          out.vt = VT_I4;
          out.lVal = v;
        } else if constexpr (std::is_same_v<T, double>) {
          out.vt = VT_R8;
          out.dblVal = v;
        } else if constexpr (std::is_same_v<T, std::string>) {
          const std::wstring wide = WideText(v);
          out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
          out.vt = VT_BSTR;
        } else if constexpr (std::is_same_v<T, DateTime>) {
          out.vt = VT_DATE;
          out.date = ToDayCount(v);
        } else if constexpr (std::is_same_v<T, AutomationObjectRef>) {
          out.pdispVal = v ? dispatchOf(v) : nullptr;
          out.vt = VT_DISPATCH;
        } else {
          SAFEARRAYBOUND bound{static_cast<ULONG>(v.elements.size()), v.lowerBound};
          SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
          if (array == nullptr) throw AutomationError(ComErrorMessage(E_OUTOFMEMORY));
          for (LONG i = 0; i < static_cast<LONG>(v.elements.size()); ++i) {
            Variants element(1);
            ToVariant(v.elements[static_cast<std::size_t>(i)], element.items[0], dispatchOf);
            LONG index = v.lowerBound + i;
            const HRESULT put = SafeArrayPutElement(array, &index, &element.items[0]);
            if (FAILED(put)) {
              SafeArrayDestroy(array);
              throw AutomationError(ComErrorMessage(put));
            }
          }
          out.parray = array;
          out.vt = VT_ARRAY | VT_VARIANT;
        }
      },
      value.kind);
}

void DispatchObject::Invoke(const std::string& member, WORD flags, std::vector<VARIANT>& arguments,
                            VARIANT* result) {
  std::wstring name = WideText(member);
  LPOLESTR names[] = {name.data()};
  DISPID id = 0;
  if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    throw AutomationError("Method '" + member + "' not supported by automation object");
  }
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());  // COM takes the last first
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID putId = DISPID_PROPERTYPUT;
  if (flags & DISPATCH_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &putId;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT argumentError = 0;
  const HRESULT outcome =
      dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, &argumentError);
  if (outcome == DISP_E_EXCEPTION) throw AutomationError(ExceptionMessage(exception));
  ThrowIfFailed(outcome);
}

void DispatchObject::Put(const std::string& member, const AutomationValue& value) {
  Variants arguments(1);
  ToVariant(value, arguments.items[0], DispatchOfClient);
  Invoke(member, DISPATCH_PROPERTYPUT, arguments.items, nullptr);
}

AutomationValue DispatchObject::Call(const std::string& member, const std::vector<AutomationValue>& arguments) {
  Variants in(arguments.size()), result(1);
  ToVariants(arguments, in.items);
  Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, in.items, &result.items[0]);
  return FromVariant(result.items[0]);
}

void DispatchObject::CallByReference(const std::string& member, std::vector<AutomationValue>& variables) {
  Variants held(variables.size()), result(1);
  ToVariants(variables, held.items);
  std::vector<VARIANT> references(variables.size());
  for (std::size_t i = 0; i < variables.size(); ++i) {
    VariantInit(&references[i]);
    references[i].vt = VT_BYREF | VT_VARIANT;
    references[i].pvarVal = &held.items[i];
  }
  Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, references, &result.items[0]);
  for (std::size_t i = 0; i < variables.size(); ++i) variables[i] = FromVariant(held.items[i]);
}

}  // namespace tavro
