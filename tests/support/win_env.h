#pragma once
// The program's units in a Windows test program, demo or bench: started as the program starts
// them, as far as each one needs, and ended. Test programs take UnitsEnvironment (units_env.h),
// which does the same around all of their tests.
#include "test_files.h"

namespace testsupport {

struct TUnitsStart {
  bool Application = false;     // Application->Initialize(), as the program's entry point does
  const char* Title = nullptr;  // with Application: its title ("Orvasil" where boxes show it)
  bool English = false;         // the English text in GlobalLanguage
};

// InitializeUnits, then what Start names; false when the English text could not be read (the
// units are started all the same).
bool StartUnits(const TUnitsStart& start = {});
// FinalizeUnits.
void EndUnits();

}  // namespace testsupport
