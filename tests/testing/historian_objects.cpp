#include "testing/historian_objects.h"

#include <cstdio>
#include <cstdlib>

#include "sources/phd_reader.h"
#include "sources/pi_sdk_reader.h"
#include "support/date_time_text.h"

namespace tavro::testutil {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

AutomationValue NumberOrText(const std::string& text) {
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  if (!text.empty() && end == text.c_str() + text.size()) return number;
  return text;
}

AutomationArray ArrayOf(const std::string& list) {
  AutomationArray array;
  for (const std::string& item : Split(list, ',')) array.elements.push_back(NumberOrText(item));
  return array;
}

std::string Text(const AutomationValue& value) {
  const std::string* text = std::get_if<std::string>(&value.kind);
  return text ? *text : std::string();
}

}  // namespace

std::string Shown(const AutomationValue& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) return "(empty)";
        if constexpr (std::is_same_v<T, AutomationNull>) return "(null)";
        if constexpr (std::is_same_v<T, bool>) return v ? "true" : "false";
        if constexpr (std::is_same_v<T, std::int32_t>) return std::to_string(v);
        if constexpr (std::is_same_v<T, double>) {
          char number[32];
          std::snprintf(number, sizeof number, "%.15g", v);
          return number;
        }
        if constexpr (std::is_same_v<T, std::string>) return "\"" + v + "\"";
        if constexpr (std::is_same_v<T, DateTime>) return "#" + FormatDateTime("yyyy-mm-dd hh:nn:ss", v) + "#";
        if constexpr (std::is_same_v<T, AutomationObjectRef>) return "(object)";
        if constexpr (std::is_same_v<T, AutomationArray>) {
          std::string shown = "[";
          for (const AutomationValue& element : v.elements) shown += (shown.size() > 1 ? "," : "") + Shown(element);
          return shown + "]";
        }
      },
      value.kind);
}

void HistorianObjects::Control(const std::string& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  goingOn_ = false;
  hold_.clear();
  fail_.clear();
  missing_.clear();
  servers_.clear();
  points_.clear();
  createFails_ = false;
  samples_ = ArrayOf("5");
  figures_ = ArrayOf("0");
  value_ = 1.0;
  error_.clear();
  journal_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (text.compare(start, 6, "error=") == 0) end = std::string::npos;  // takes the rest
    const std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    const std::size_t equals = item.find('=');
    const std::string name = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    if (name == "fail") {
      for (const std::string& member : Split(value, ',')) fail_.insert(member);
    } else if (name == "hold") {
      for (const std::string& member : Split(value, ',')) hold_.insert(member);
    } else if (name == "missing") {
      for (const std::string& member : Split(value, ',')) missing_.insert(member);
    } else if (name == "create") {
      createFails_ = value == "fail";
    } else if (name == "samples") {
      samples_ = ArrayOf(value);
    } else if (name == "figures") {
      figures_ = ArrayOf(value);
    } else if (name == "servers") {
      for (const std::string& server : Split(value, ',')) servers_.insert(server);
    } else if (name == "points") {
      for (const std::string& point : Split(value, ',')) points_.insert(point);
    } else if (name == "value") {
      value_ = NumberOrText(value);
    } else if (name == "error") {
      error_ = value;
    }
  }
}

void HistorianObjects::Note(const std::string& line, const std::string& member) {
  std::unique_lock<std::mutex> lock(mutex_);
  journal_.push_back(line);
  if (hold_.count(member)) letGo_.wait(lock, [this] { return goingOn_; });
}

bool HistorianObjects::Fails(const std::string& member, const AutomationValue* written) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (fail_.count(member)) return true;
  return written != nullptr && fail_.count(member + ":" + Text(*written)) > 0;
}

std::string HistorianObjects::ErrorText(const std::string& member) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return error_.empty() ? member + " refused" : error_;
}

AutomationObjectRef HistorianObjects::NewObject(const std::string& name) {
  return std::make_shared<HistorianObject>(*this, name);
}

AutomationObjectRef HistorianObjects::NewPhdData() {
  Note("new " + std::string(kPhdProgId), {});
  if (createFails_) throw AutomationError("Server execution failed");
  auto data = std::make_shared<HistorianObject>(*this, "PhdData");
  const auto nothing = [](std::vector<AutomationValue>&) { return AutomationValue(); };
  for (const char* member : {"UseRemoteAPI", "HostName", "Login", "Logout", "MinimumConfidence", "SampleMethod",
                             "EndTime", "StartTime", "Fetch"}) {
    data->Define(member, nothing);
  }
  // Without an index the tag collection, with one the tag's result.
  data->Define("Tags", [this](std::vector<AutomationValue>& arguments) {
    return AutomationValue(arguments.empty() ? NewTags() : NewTagResult());
  });
  return data;
}

AutomationObjectRef HistorianObjects::NewTags() {
  auto tags = std::make_shared<HistorianObject>(*this, "Tags");
  const auto nothing = [](std::vector<AutomationValue>&) { return AutomationValue(); };
  tags->Define("RemoveAll", nothing);
  tags->Define("Add", nothing);
  return tags;
}

AutomationObjectRef HistorianObjects::NewTagResult() {
  auto result = std::make_shared<HistorianObject>(*this, "TagResult");
  const auto unpack = [this](std::vector<AutomationValue>& arrays) {
    if (arrays.size() != 3) throw AutomationError("three arrays expected");
    arrays[0] = samples_;
    arrays[1] = AutomationArray{};
    arrays[2] = figures_;
    return AutomationValue();
  };
  result->Define("UnpackResults", unpack);
  result->Define("UnpackData", unpack);
  return result;
}

AutomationObjectRef HistorianObjects::NewPiSdk() {
  Note("new PISDK", {});
  if (createFails_) throw AutomationError("Class not registered");
  auto root = std::make_shared<HistorianObject>(*this, "PISDK");
  root->Define("Servers", [this](std::vector<AutomationValue>&) {
    auto servers = std::make_shared<HistorianObject>(*this, "Servers");
    servers->Define("Item", [this](std::vector<AutomationValue>& name) {
      if (name.size() != 1 || !servers_.count(Text(name[0]))) throw AutomationError("Server not found");
      return AutomationValue(NewServer());
    });
    return AutomationValue(AutomationObjectRef(servers));
  });
  return root;
}

AutomationObjectRef HistorianObjects::NewServer() {
  auto server = std::make_shared<HistorianObject>(*this, "Server");
  const auto nothing = [](std::vector<AutomationValue>&) { return AutomationValue(); };
  server->Define("Open", nothing);
  server->Define("Close", nothing);
  server->Define("PIPoints", [this](std::vector<AutomationValue>&) {
    auto points = std::make_shared<HistorianObject>(*this, "PIPoints");
    points->Define("Item", [this](std::vector<AutomationValue>& tag) {
      if (tag.size() != 1 || !points_.count(Text(tag[0]))) throw AutomationError("Point not found");
      return AutomationValue(NewPoint());
    });
    return AutomationValue(AutomationObjectRef(points));
  });
  return server;
}

AutomationObjectRef HistorianObjects::NewPoint() {
  auto point = std::make_shared<HistorianObject>(*this, "Point");
  point->Define("Data", [this](std::vector<AutomationValue>&) {
    auto data = std::make_shared<HistorianObject>(*this, "PIData");
    data->Define("ArcValue", [this](std::vector<AutomationValue>&) {
      auto value = std::make_shared<HistorianObject>(*this, "PIValue");
      value->Define("Value", [this](std::vector<AutomationValue>&) { return value_; });
      return AutomationValue(AutomationObjectRef(value));
    });
    return AutomationValue(AutomationObjectRef(data));
  });
  return point;
}

AutomationValue HistorianObject::Act(const std::string& member, std::vector<AutomationValue>& arguments,
                                     const AutomationValue* written) {
  if (!Knows(member)) throw AutomationError("Unknown name " + member);
  if (world_.Fails(member, written)) throw AutomationError(world_.ErrorText(member));
  return members_.at(member)(arguments);
}

void HistorianObject::Put(const std::string& member, const AutomationValue& value) {
  world_.Note(name_ + "." + member + "=" + Shown(value), member);
  std::vector<AutomationValue> arguments{value};
  Act(member, arguments, &value);
}

AutomationValue HistorianObject::Call(const std::string& member, const std::vector<AutomationValue>& arguments) {
  std::string shown;
  for (const AutomationValue& argument : arguments) shown += (shown.empty() ? "" : ",") + Shown(argument);
  world_.Note(name_ + "." + member + "(" + shown + ")", member);
  std::vector<AutomationValue> copy = arguments;
  return Act(member, copy, copy.empty() ? nullptr : &copy[0]);
}

void HistorianObject::CallByReference(const std::string& member, std::vector<AutomationValue>& variables) {
  world_.Note(name_ + "." + member + "(&" + std::to_string(variables.size()) + ")", member);
  Act(member, variables, nullptr);
}

}  // namespace tavro::testutil
