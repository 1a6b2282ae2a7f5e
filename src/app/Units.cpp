#include <windows.h>

#include "app/Units.h"

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
}  // namespace

void InitializeUnits() {
  SetTextCompare(UserCompareText, UserCompareStr);
  InitializeForms();
  RegisterClass(TKLStoredStream::StaticClassInfo());
  InitializeKLXLang();
  InitializeKLSysUtils();
  RegisterClass(TCustomImageList::StaticClassInfo());
  RegisterClass(TComboBoxEx::StaticClassInfo());
  InitializeKLShellUtils();
  InitializeKLShellCtrls();
  InitializeKLXImgList();
  InitializeKLJpeg();
  InitializeKLXSkin();
  InitializeKLXSkinCtrls();
  InitializeKLXSkinMaps();
  InitKLDiskUnit();
  InitializeKLRichEdOLE();
}

// The windows go first: a form's OnDestroy may still use the language table, the fonts and
// the other process-wide objects.
void FinalizeUnits() {
  FinalizeForms();
  FinalizeKLRichEdOLE();
  DoneKLDiskUnit();
  FinalizeKLXSkinMaps();
  FinalizeKLXSkinCtrls();
  FinalizeKLXSkin();
  FinalizeKLJpeg();
  FinalizeKLXImgList();
  FinalizeKLShellCtrls();
  FinalizeKLShellUtils();
  UnRegisterClass(TComboBoxEx::StaticClassInfo());
  UnRegisterClass(TCustomImageList::StaticClassInfo());
  FinalizeKLSysUtils();
  FinalizeKLXLang();
  UnRegisterClass(TKLStoredStream::StaticClassInfo());
  SetTextCompare(nullptr, nullptr);
}

}  // namespace orv
