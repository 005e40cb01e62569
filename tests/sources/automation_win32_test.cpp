// COM's side of the automation seam: values through VARIANTs and back, and creation of what is
// not registered.

#include <gtest/gtest.h>

#include "sources/com_variant_win32.h"
#include "testing/historian_objects.h"

namespace tavro {
namespace {

using testutil::Shown;

TEST(ComAutomation, ValuesSurviveTheWayThroughVariants) {
  const AutomationValue values[] = {
      AutomationValue(),
      AutomationNull{},
      true,
      std::int32_t{-7},
      42.5,
      "Tag \xE4",  // a letter of the system's code page
      MakeDateTime(2026, 12, 7, 10, 15, 30),
      AutomationArray{1, {AutomationValue(1.5), AutomationValue("x"), AutomationValue(std::int32_t{3})}},
      AutomationArray{},
  };
  const DispatchOf noObjects = [](const AutomationObjectRef&) -> IDispatch* { throw AutomationError("none"); };
  for (const AutomationValue& value : values) {
    SCOPED_TRACE(Shown(value));
    VARIANT variant;
    VariantInit(&variant);
    ToVariant(value, variant, noObjects);
    EXPECT_EQ(Shown(FromVariant(variant)), Shown(value));
    if (const auto* array = std::get_if<AutomationArray>(&value.kind)) {
      EXPECT_EQ(ToArray(FromVariant(variant)).lowerBound, array->lowerBound);
    }
    VariantClear(&variant);
  }
}

TEST(ComAutomation, ServersNumbersOfEveryKindArriveAsNumbers) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_R4;
  variant.fltVal = 2.5f;
  EXPECT_EQ(ToDouble(FromVariant(variant)), 2.5);
  variant.vt = VT_I2;
  variant.iVal = -3;
  EXPECT_EQ(ToDouble(FromVariant(variant)), -3.0);
  variant.vt = VT_UI1;
  variant.bVal = 200;
  EXPECT_EQ(ToDouble(FromVariant(variant)), 200.0);
}

TEST(ComAutomation, WhatIsNotRegisteredCannotBeCreated) {
  SystemAutomation automation;
  for (const auto& create : {std::function<void()>([&] { automation.CreateByProgId("Tavro.NotRegistered"); }),
                             std::function<void()>([&] {
                               automation.CreateByClassId("{0D4E2A6B-51C3-4F0A-9E21-7C3B5D8A1F60}",
                                                          "{00020400-0000-0000-C000-000000000046}");
                             })}) {
    try {
      create();
      ADD_FAILURE() << "created";
    } catch (const AutomationError& error) {
      EXPECT_FALSE(std::string(error.what()).empty());
    }
  }
}

}  // namespace
}  // namespace tavro
