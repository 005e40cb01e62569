#pragma once
// The process-data readers that gate tasks, and the PI bindings the tick keeps ready. Each reader
// returns the value of a tag; negative values stand for failures (-20: no value found).

#include <string>

#include "support/date_time.h"

namespace tavro {

class GateReaders {
 public:
  virtual ~GateReaders() = default;
  virtual double ReadPhdValue(const std::string& tag, DateTime slotTime, const std::string& host,
                              const std::string& user, const std::string& password) = 0;
  virtual double ReadPiValue(const std::string& tag, DateTime slotTime, const std::string& host,
                             const std::string& user, const std::string& password) = 0;
  virtual double ReadIp21Value(const std::string& tag, int intervalLength, DateTime slotTime) = 0;
  virtual double ReadMssqlValue(const std::string& tag, int intervalLength, DateTime slotTime) = 0;
  // Binds the PI API library once; "" when bound (or already was), otherwise the reason.
  virtual std::string LoadPiApi() = 0;
  // Initialises the PI SDK once; true when ready.
  virtual bool InitPiSdk() = 0;
};

}  // namespace tavro
