#pragma once
// Start and end of every unit, in dependency order; the entry point and the test programs
// call these once.
namespace orv {

void InitializeUnits();
void FinalizeUnits();

}  // namespace orv
