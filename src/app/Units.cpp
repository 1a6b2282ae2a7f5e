#include <windows.h>

#include "app/Units.h"

#include <iterator>

#include "base/StringList.h"
#include "disk/KLDiskKernel.h"
#include "gui/ComboBoxEx.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "lang/KLXLang.h"
#include "richtext/KLRichEdOLE.h"
#include "shell/KLShellCtrls.h"
#include "shell/KLShellUtils.h"
#include "skin/KLClasses.h"
#include "skin/KLJpeg.h"
#include "skin/KLXImgList.h"
#include "skin/KLXSkin.h"
#include "skin/KLXSkinCtrls.h"
#include "skin/KLXSkinMaps.h"
#include "sys/KLSysUtils.h"

namespace orv {

namespace {
int CompareResult(int r) { return r - CSTR_EQUAL; }

int UserCompareText(const std::string& a, const std::string& b) {
  return CompareResult(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                      b.data(), static_cast<int>(b.size())));
}

int UserCompareStr(const std::string& a, const std::string& b) {
  return CompareResult(CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size())));
}

template <class T>
void RegisterClassOf() {
  RegisterClass(T::StaticClassInfo());
}

template <class T>
void UnRegisterClassOf() {
  UnRegisterClass(T::StaticClassInfo());
}

struct TUnitSteps {
  void (*Initialize)();
  void (*Finalize)();
};

// The units, started in this order after the forms and ended in the reverse one.
constexpr TUnitSteps kUnits[] = {
    {RegisterClassOf<TKLStoredStream>, UnRegisterClassOf<TKLStoredStream>},
    {InitializeKLXLang, FinalizeKLXLang},
    {InitializeKLSysUtils, FinalizeKLSysUtils},
    {RegisterClassOf<TCustomImageList>, UnRegisterClassOf<TCustomImageList>},
    {RegisterClassOf<TComboBoxEx>, UnRegisterClassOf<TComboBoxEx>},
    {InitializeKLShellUtils, FinalizeKLShellUtils},
    {InitializeKLShellCtrls, FinalizeKLShellCtrls},
    {InitializeKLXImgList, FinalizeKLXImgList},
    {InitializeKLJpeg, FinalizeKLJpeg},
    {InitializeKLXSkin, FinalizeKLXSkin},
    {InitializeKLXSkinCtrls, FinalizeKLXSkinCtrls},
    {InitializeKLXSkinMaps, FinalizeKLXSkinMaps},
    {InitializeKLDisk, FinalizeKLDisk},
    {InitializeKLRichEdOLE, FinalizeKLRichEdOLE},
};

}  // namespace

void InitializeUnits() {
  SetTextCompare(UserCompareText, UserCompareStr);
  InitializeForms();
  for (const TUnitSteps& unit : kUnits) unit.Initialize();
}

// The windows go first: a form's OnDestroy may still use the language table, the fonts and
// the other process-wide objects.
void FinalizeUnits() {
  FinalizeForms();
  for (auto unit = std::rbegin(kUnits); unit != std::rend(kUnits); ++unit) unit->Finalize();
  SetTextCompare(nullptr, nullptr);
}

}  // namespace orv
