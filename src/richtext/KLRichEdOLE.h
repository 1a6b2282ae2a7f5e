#pragma once
// The rich-text control over the system's Rich Edit window class: documents loaded from
// streams, detected web and mail links that raise OnURLClick, embedded objects through an
// object callback, and printing on the system printer.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Streams.h"
#include "gui/Graphics.h"
#include "gui/Memo.h"
#include "win/Handles.h"

namespace orv {

// 1: only RICHED32.DLL could be loaded; 2: RICHED20.DLL; 3: RICHED20.DLL on the NT family
// above version 4.
extern int32_t RichEditVersion;
// Clipboard formats "Embedded Object", "Link Source", "Rich Text Format" and
// "Rich Text Format Without Objects".
extern UINT CFEmbeddedObject;
extern UINT CFLinkSource;
extern UINT CFRtf;
extern UINT CFRtfNoObjs;

// Chooses and loads the Rich Edit library (from the system folder only), registers the
// clipboard formats and the published control class; Finalize frees the library.
void InitializeKLRichEdOLE();
void FinalizeKLRichEdOLE();

enum class TRichStreamFormat { sfDefault, sfRichText, sfPlainText };
// Sets held as bit masks, bit i naming the i-th element.
enum TRichStreamMode : uint8_t { smSelection = 1, smPlainRtf = 2, smNoObjects = 4, smUnicode = 8 };
using TRichStreamModes = uint8_t;
enum TRichLangOption : uint8_t {
  rlAutoKeyboard = 1,
  rlAutoFont = 2,
  rlImeCancelComplete = 4,
  rlImeAlwaysSendNotify = 8
};
using TRichLangOptions = uint8_t;

class TKLCustomRichEdit;

enum class TAttributeType { atDefaultText, atSelected, atWord };

// Character format of the default text, the selection or the word at the caret: the 60-byte
// record with library version 1, the 84-byte one otherwise.
class TKLTextAttributes : public TPersistent {
public:
  TKLTextAttributes(TKLCustomRichEdit* richEdit, TAttributeType type) : richEdit_(richEdit), type_(type) {}
  std::string ClassName() const override { return "TKLTextAttributes"; }

  std::string Name();
  void SetName(const std::string& value);
  // Points.
  int32_t Size();
  void SetSize(int32_t value);
  // Pixels on the screen, negative like a font's character height.
  int32_t Height();
  void SetHeight(int32_t value);
  TColor Color();
  void SetColor(TColor value);
  uint8_t Style();
  void SetStyle(uint8_t value);
  uint8_t Charset();
  void SetCharset(uint8_t value);
  bool Protected();
  void SetProtected(bool value);

  // From a TFont or other text attributes; AssignTo fills a TFont.
  void Assign(const TPersistent* source) override;
  void AssignTo(TPersistent* dest) const override;

  // The record as the library takes it; CbSize is 60 or 84.
  CHARFORMAT2A Read() const;
  void Write(CHARFORMAT2A format);

private:
  TKLCustomRichEdit* richEdit_;
  TAttributeType type_;
};

enum class TParaAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TNumberingStyle { nsNone, nsBullet };

// Paragraph format of the selection: alignment, indents (points), numbering, tab stops.
class TKLParaAttributes : public TPersistent {
public:
  explicit TKLParaAttributes(TKLCustomRichEdit* richEdit) : richEdit_(richEdit) {}
  std::string ClassName() const override { return "TKLParaAttributes"; }

  TParaAlignment Alignment();
  void SetAlignment(TParaAlignment value);
  int32_t FirstIndent();
  void SetFirstIndent(int32_t value);
  int32_t LeftIndent();
  void SetLeftIndent(int32_t value);
  int32_t RightIndent();
  void SetRightIndent(int32_t value);
  TNumberingStyle Numbering();
  void SetNumbering(TNumberingStyle value);
  int32_t TabCount();
  void SetTabCount(int32_t value);
  int32_t Tab(int index);
  void SetTab(int index, int32_t value);

  void Assign(const TPersistent* source) override;

private:
  PARAFORMAT Read() const;
  void Write(PARAFORMAT format);
  TKLCustomRichEdit* richEdit_;
};

using TRichEditURLClickEvent = TEvent<void(TObject* sender, const std::string& URLText, TMouseButton button)>;
using TRichEditProtectChangeEvent =
    TEvent<void(TObject* sender, UINT message, int32_t startPos, int32_t endPos, bool& allowChange)>;
using TRichEditResizeEvent = TEvent<void(TObject* sender, const RECT& rect)>;
using TRichEditSaveClipboard = TEvent<void(TObject* sender, int32_t numObjects, int32_t numChars, bool& saveClipboard)>;

class TKLCustomRichEdit : public TCustomMemo {
  ORV_CLASSINFO(TKLCustomRichEdit)

public:
  explicit TKLCustomRichEdit(TComponent* owner);
  ~TKLCustomRichEdit() override;

  bool AutoURLDetect() const { return autoURLDetect_; }
  void SetAutoURLDetect(bool value);
  bool AllowObjects() const { return allowObjects_; }
  void SetAllowObjects(bool value);
  bool AllowInPlace() const { return allowInPlace_; }
  void SetAllowInPlace(bool value) { allowInPlace_ = value; }
  bool AutoVerbMenu() const { return autoVerbMenu_; }
  void SetAutoVerbMenu(bool value) { autoVerbMenu_ = value; }
  bool HideScrollBars() const { return hideScrollBars_; }
  void SetHideScrollBars(bool value);
  bool SelectionBar() const { return selectionBar_; }
  void SetSelectionBar(bool value);
  bool WordSelection() const { return wordSelection_; }
  void SetWordSelection(bool value);
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool value);
  TRichStreamFormat StreamFormat() const { return streamFormat_; }
  void SetStreamFormat(TRichStreamFormat value) { streamFormat_ = value; }
  TRichStreamModes StreamMode() const { return streamMode_; }
  void SetStreamMode(TRichStreamModes value) { streamMode_ = value; }
  TRichLangOptions LangOptions() const { return langOptions_; }
  void SetLangOptions(TRichLangOptions value);
  int32_t UndoLimit() const { return undoLimit_; }
  void SetUndoLimit(int32_t value);
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value);

  TKLTextAttributes& DefAttributes() { return defAttributes_; }
  TKLTextAttributes& SelAttributes() { return selAttributes_; }
  TKLTextAttributes& WordAttributes() { return wordAttributes_; }
  TKLParaAttributes& Paragraph() { return paragraph_; }

  // The link pressed and not yet released; both -1 when none.
  CHARRANGE LinkRange() const { return linkRange_; }

  int32_t SelStart() override;
  void SetSelStart(int32_t value) override;
  int32_t SelLength() override;
  void SetSelLength(int32_t value) override;
  std::string SelText() override;
  std::string TextRange(int32_t startPos, int32_t endPos);

  // Prints the whole text on the system's default printer, page by page; the print job is
  // named Caption. Raises when there is no printer or the job fails.
  void Print(const std::string& caption);

  TRichEditURLClickEvent OnURLClick;
  TNotifyEvent OnSelectionChange;
  TRichEditProtectChangeEvent OnProtectChange;
  TRichEditProtectChangeEvent OnProtectChangeEx;
  TRichEditResizeEvent OnResizeRequest;
  TRichEditSaveClipboard OnSaveClipboard;

protected:
  friend class TRichEditStrings;
  void CreateParams(TCreateParams& params) override;
  void InitializeWindow() override;
  void RestoreContent() override;
  void KeepContent(HWND wnd) override;
  void ApplyMaxLength() override;
  LRESULT EditMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) override;
  bool NotifyReceived(const NMHDR& header, LRESULT& result) override;

  // The format flags that Lines uses for loading (Saving false) or saving.
  DWORD StreamFlags(bool saving) const;
  // EM_STREAMIN/EM_STREAMOUT on Wnd: true when the control reports no error.
  static bool StreamIn(HWND wnd, TStream& stream, DWORD format);
  static bool StreamOut(HWND wnd, TStream& stream, DWORD format);

private:
  class TOleCallback;
  void ApplyOptions();
  void ApplyObjectSupport();
  void CloseObjects();
  void LinkNotify(const ENLINK& link);
  void ShowVerbMenu(HWND wnd, POINT screenPos);
  LRESULT Paint(HWND wnd, WPARAM wp, LPARAM lp);

  bool autoURLDetect_ = true;
  bool allowObjects_ = true;
  bool allowInPlace_ = true;
  bool autoVerbMenu_ = true;
  bool hideScrollBars_ = true;
  bool selectionBar_ = true;
  bool wordSelection_ = true;
  bool plainText_ = false;
  TRichStreamFormat streamFormat_ = TRichStreamFormat::sfDefault;
  TRichStreamModes streamMode_ = 0;
  TRichLangOptions langOptions_ = rlAutoFont;
  int32_t undoLimit_ = 100;
  std::string title_;
  TColor color_ = clWindow;
  int32_t screenLogPixels_ = 96;

  TKLTextAttributes defAttributes_{this, TAttributeType::atDefaultText};
  TKLTextAttributes selAttributes_{this, TAttributeType::atSelected};
  TKLTextAttributes wordAttributes_{this, TAttributeType::atWord};
  TKLParaAttributes paragraph_{this};
  CHARRANGE linkRange_{-1, -1};
  TComPtr<TOleCallback> callback_;
  TComPtr<IRichEditOle> richEditOle_;
  std::unique_ptr<TMemoryStream> savedContent_;

  friend class TKLTextAttributes;
};

// The control as window definitions name it.
class TKLRichEditOLE : public TKLCustomRichEdit {
  ORV_CLASSINFO(TKLRichEditOLE)

public:
  using TKLCustomRichEdit::TKLCustomRichEdit;
};

}  // namespace orv
