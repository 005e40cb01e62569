#pragma once
// Between COM's VARIANTs and automation values, and the late-bound client of an IDispatch: used by
// the platform's automation and by the test suite's own automation server.

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "sources/automation.h"

namespace tavro {

// Texts of the system's code page.
std::wstring WideText(const std::string& text);
std::string NarrowText(const wchar_t* text, std::size_t length);

// The system's text for a COM result, or "OLE error XXXXXXXX".
std::string ComErrorMessage(HRESULT result);
// Throws AutomationError with that text when the result is a failure.
void ThrowIfFailed(HRESULT result);

// The value of a VARIANT (by reference or not); objects become DispatchObjects. Throws
// AutomationError for the kinds automation values do not have.
AutomationValue FromVariant(const VARIANT& variant);

// Fills `out`, which holds nothing yet; an object is handed over as the IDispatch that `dispatchOf`
// gives (one reference added for `out`).
using DispatchOf = std::function<IDispatch*(const AutomationObjectRef&)>;
void ToVariant(const AutomationValue& value, VARIANT& out, const DispatchOf& dispatchOf);

// Calls an IDispatch by member name. Holds one reference, released with the object.
class DispatchObject final : public AutomationObject {
 public:
  explicit DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}  // takes over a reference
  ~DispatchObject() override { dispatch_->Release(); }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  IDispatch* Dispatch() const { return dispatch_; }

  void Put(const std::string& member, const AutomationValue& value) override;
  AutomationValue Call(const std::string& member, const std::vector<AutomationValue>& arguments) override;
  void CallByReference(const std::string& member, std::vector<AutomationValue>& variables) override;

 private:
  // arguments in call order; result may be null.
  void Invoke(const std::string& member, WORD flags, std::vector<VARIANT>& arguments, VARIANT* result);
  IDispatch* dispatch_;
};

}  // namespace tavro
