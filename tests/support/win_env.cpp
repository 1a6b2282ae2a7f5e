#include "win_env.h"

#include "app/Units.h"
#include "gui/Forms.h"

namespace testsupport {

bool StartUnits(const TUnitsStart& start) {
  orv::InitializeUnits();
  if (start.Application) {
    orv::Application->Initialize();
    if (start.Title) orv::Application->SetTitle(start.Title);
  }
  return !start.English || LoadEnglish();
}

void EndUnits() { orv::FinalizeUnits(); }

}  // namespace testsupport
