#pragma once
// The main window, read from its window definition. For now a plain form with the product
// title; while it is created it loads the language text it carries.
#include "gui/Forms.h"

namespace orv {

class TKLStoredStream;

class TMainForm : public TForm {
  ORV_CLASSINFO(TMainForm)

public:
  explicit TMainForm(TComponent* owner);
  void FormCreate(TObject* sender);

  TKLStoredStream* lgStream() const;
};

}  // namespace orv
