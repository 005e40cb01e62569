#pragma once
// Stand-ins of the PHD automation object and of the PI SDK's objects, with the members the readers
// use. They note every call in a journal, count the objects alive (so a test sees every object
// released), and fail where a control text says. On Linux the tests use them directly; on Windows
// the test suite's automation server wraps them in IDispatch and the readers reach them through COM.
//
// Control text: items "name=value" separated by ";":
//   fail=M,M:text       members that raise an error; "M:text" only when M is given that text
//                       (written to it, or as its first argument)
//   missing=M,M         members the objects do not have
//   create=fail         no object can be made
//   samples=1.5,2,x     the PHD result's first array (a non-number is a text sample); "" for none
//   figures=0,0,-1      the PHD result's third array (one figure per sample)
//   servers=S,S         the PI servers the SDK knows
//   points=T,T          the PI points those servers know
//   value=V             the PI archive value (a non-number is a text)
//   hold=M,M            members that, called, wait for LetGo (a server that stops answering)
//   error=text          the message of every raised error (the rest of the control text)

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sources/automation.h"

namespace tavro::testutil {

class HistorianObjects {
  mutable std::mutex mutex_;  // the objects may be called from several threads at once
  template <class Action>
  auto Locked(Action action) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return action();
  }

 public:
  HistorianObjects() { Control(""); }
  void Control(const std::string& text);  // also clears the journal
  std::vector<std::string> Journal() const { return Locked([this] { return journal_; }); }
  int LiveObjects() const { return Locked([this] { return live_; }); }
  // The held calls go on, and later calls of held members do not wait, until the next Control.
  void LetGo() { Locked([this] { goingOn_ = true; }), letGo_.notify_all(); }

  // Throw AutomationError when the control says no object can be made.
  AutomationObjectRef NewPhdData();
  AutomationObjectRef NewPiSdk();

  // For the objects themselves.
  // Notes the call of `member`, which then waits while it is held.
  void Note(const std::string& line, const std::string& member);
  void Born() { Locked([this] { ++live_; }); }
  void Died() { Locked([this] { --live_; }); }
  bool Fails(const std::string& member, const AutomationValue* written) const;
  bool Missing(const std::string& member) const { return Locked([&] { return missing_.count(member) > 0; }); }
  std::string ErrorText(const std::string& member) const;

 private:
  AutomationObjectRef NewObject(const std::string& name);
  AutomationObjectRef NewTags();
  AutomationObjectRef NewTagResult();
  AutomationObjectRef NewServer();
  AutomationObjectRef NewPoint();

  std::condition_variable letGo_;
  bool goingOn_ = false;
  std::set<std::string> fail_, missing_, hold_, servers_, points_;
  bool createFails_ = false;
  AutomationArray samples_, figures_;
  AutomationValue value_;
  std::string error_;
  std::vector<std::string> journal_;
  int live_ = 0;
};

// One stand-in object: members by name, each noted in the journal before it acts.
class HistorianObject final : public AutomationObject {
 public:
  using Member = std::function<AutomationValue(std::vector<AutomationValue>&)>;
  HistorianObject(HistorianObjects& world, std::string name) : world_(world), name_(std::move(name)) { world_.Born(); }
  ~HistorianObject() override { world_.Died(); }

  void Define(const std::string& member, Member action) { members_[member] = std::move(action); }
  bool Knows(const std::string& member) const { return members_.count(member) > 0 && !world_.Missing(member); }

  void Put(const std::string& member, const AutomationValue& value) override;
  AutomationValue Call(const std::string& member, const std::vector<AutomationValue>& arguments) override;
  void CallByReference(const std::string& member, std::vector<AutomationValue>& variables) override;

 private:
  AutomationValue Act(const std::string& member, std::vector<AutomationValue>& arguments, const AutomationValue* written);

  HistorianObjects& world_;
  std::string name_;
  std::map<std::string, Member> members_;
};

// A value as the journal shows it: "text" in quotes, #date#, numbers, true/false, [a,b], (empty).
std::string Shown(const AutomationValue& value);

}  // namespace tavro::testutil
