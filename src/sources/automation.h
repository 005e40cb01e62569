#pragma once
// Automation objects driven late-bound, by member name, as the PHD and PI SDK servers are: created
// by programmatic or class identifier, then property writes, property reads and method calls with
// variant-like values. COM IDispatch on Windows; elsewhere every creation fails.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "support/date_time.h"

namespace tavro {

// An error of the automation object or of the way to it, with its message.
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AutomationObject;
using AutomationObjectRef = std::shared_ptr<AutomationObject>;  // the last reference releases it
struct AutomationValue;

struct AutomationNull {
  friend bool operator==(AutomationNull, AutomationNull) = default;
};

// A one-dimensional array as a server hands it back, with its own lower bound.
struct AutomationArray {
  std::int32_t lowerBound = 0;
  std::vector<AutomationValue> elements;
  std::int32_t UpperBound() const;
  // Throws AutomationError outside the bounds.
  const AutomationValue& At(std::int32_t index) const;
};

struct AutomationValue {
  // Empty (nothing assigned) is the first alternative.
  using Kind = std::variant<std::monostate, AutomationNull, bool, std::int32_t, double, std::string, DateTime,
                            AutomationObjectRef, AutomationArray>;
  Kind kind;

  AutomationValue() = default;
  AutomationValue(AutomationNull v) : kind(v) {}
  AutomationValue(bool v) : kind(v) {}
  AutomationValue(std::int32_t v) : kind(v) {}
  AutomationValue(double v) : kind(v) {}
  AutomationValue(std::string v) : kind(std::move(v)) {}
  AutomationValue(const char* v) : kind(std::string(v)) {}
  AutomationValue(DateTime v) : kind(v) {}
  AutomationValue(AutomationObjectRef v) : kind(std::move(v)) {}
  AutomationValue(AutomationArray v) : kind(std::move(v)) {}
};

// Here, where the element type is complete: some standard libraries need it for size().
inline std::int32_t AutomationArray::UpperBound() const {
  return lowerBound + static_cast<std::int32_t>(elements.size()) - 1;
}

// As a number: numbers, booleans (true is -1), dates (day count), empty (0) and texts that are a
// number as a whole; anything else throws AutomationError.
double ToDouble(const AutomationValue& value);
// The object or the array a value holds; throws AutomationError when it holds something else.
AutomationObjectRef ToObject(const AutomationValue& value);
const AutomationArray& ToArray(const AutomationValue& value);

class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  // Property write.
  virtual void Put(const std::string& member, const AutomationValue& value) = 0;
  // Property read or method call (late binding does not tell them apart); an indexed property
  // takes its index as argument.
  virtual AutomationValue Call(const std::string& member, const std::vector<AutomationValue>& arguments = {}) = 0;
  // A method that fills variables passed by reference.
  virtual void CallByReference(const std::string& member, std::vector<AutomationValue>& variables) = 0;
};

class AutomationFactory {
 public:
  virtual ~AutomationFactory() = default;
  // Both throw AutomationError when the object cannot be made.
  virtual AutomationObjectRef CreateByProgId(const std::string& progId) = 0;
  // Identifiers in registry form, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; the object must offer
  // the interface asked for.
  virtual AutomationObjectRef CreateByClassId(const std::string& classId, const std::string& interfaceId) = 0;
};

// An apartment of its own for the calling thread, for as long as this lives: a thread that makes,
// uses and releases automation objects holds one around all of them (COM binds an object to the
// apartment of the thread that made it). Nothing to do where there is no COM.
class AutomationApartment {
 public:
  AutomationApartment();
  ~AutomationApartment();
  AutomationApartment(const AutomationApartment&) = delete;
  AutomationApartment& operator=(const AutomationApartment&) = delete;

 private:
  [[maybe_unused]] bool entered_ = false;  // only where there is COM to enter
};

// The platform's automation, for the calling thread; stateless, so one serves every thread.
class SystemAutomation final : public AutomationFactory {
 public:
  AutomationObjectRef CreateByProgId(const std::string& progId) override;
  AutomationObjectRef CreateByClassId(const std::string& classId, const std::string& interfaceId) override;
};

}  // namespace tavro
