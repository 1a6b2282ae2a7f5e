// Window definitions: binary round trips, the text syntax, binding, and damaged input.
#include <gtest/gtest.h>

#include <memory>

#include "base/Collection.h"
#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/StringList.h"
#include "base/TextForm.h"

using namespace orv;

namespace {

const std::vector<std::string> kAlignNames = {"alNone", "alTop", "alBottom", "alClient"};
const std::vector<std::string> kStyleNames = {"fsBold", "fsItalic", "fsUnderline"};
const TIdentMap kColors = {{"clBlack", 0}, {"clWhite", 0xFFFFFF}};

class TTestFont : public TPersistent {
  ORV_CLASSINFO(TTestFont)
public:
  std::string FontName;
  int32_t Size = 8;
  int32_t Style = 0;
};

const TClassInfo& TTestFont::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestFont>("TTestFont", &TPersistent::StaticClassInfo())
                                     .String("Name", &TTestFont::FontName, &TTestFont::FontName)
                                     .Integer("Size", &TTestFont::Size, &TTestFont::Size, 8)
                                     .Set("Style", &TTestFont::Style, &TTestFont::Style, kStyleNames, 0)
                                     .Info();
  return info;
}

class TTestArea : public TCollectionItem {
  ORV_CLASSINFO(TTestArea)
public:
  explicit TTestArea(TCollection* c) : TCollectionItem(c) {}
  std::string Hint;
  int32_t Cursor = 0;
  class TTestControl* Target = nullptr;
};

class TTestControl : public TComponent {
  ORV_CLASSINFO(TTestControl)
public:
  explicit TTestControl(TComponent* owner) : TComponent(owner), Areas(this, TTestArea::StaticClassInfo()) {}

  void SetParentComponent(TComponent* parent) override { ParentComp = parent; }
  TComponent* GetParentComponent() const override { return ParentComp; }
  bool HasParent() const override { return ParentComp != nullptr; }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    TComponent* owner = root ? root : this;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* c = owner->Components(i);
      if ((this == root && !c->HasParent()) || c->GetParentComponent() == this) proc(c);
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    LoadOrder().push_back(Name());
    SawCaptionInLoaded = Caption;
  }
  static std::vector<std::string>& LoadOrder() {
    static std::vector<std::string> order;
    return order;
  }

  std::string Caption;
  int32_t Width = 75;
  int64_t Big = 0;
  bool Visible = true;
  int Align = 0;
  int32_t Color = 0;
  char Drive = 'C';
  uint8_t Alpha = 255;
  TStringList Lines;
  TTestFont Font;
  TOwnedCollection Areas;
  TTestControl* Buddy = nullptr;
  TNotifyEvent OnClick;
  std::function<void(TObject*, int)> OnKey;
  TComponent* ParentComp = nullptr;
  std::string SawCaptionInLoaded;
};

const TClassInfo& TTestArea::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestArea>("TTestArea", &TCollectionItem::StaticClassInfo())
                                     .String("Hint", &TTestArea::Hint, &TTestArea::Hint)
                                     .Integer("Cursor", &TTestArea::Cursor, &TTestArea::Cursor, 0)
                                     .Component<TTestControl>("Target", &TTestArea::Target, &TTestArea::Target)
                                     .Info();
  return info;
}

const TClassInfo& TTestControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestControl>("TTestControl", &TComponent::StaticClassInfo())
                                     .String("Caption", &TTestControl::Caption, &TTestControl::Caption)
                                     .Integer("Width", &TTestControl::Width, &TTestControl::Width, 75)
                                     .Integer("Big", &TTestControl::Big, &TTestControl::Big, 0)
                                     .Boolean("Visible", &TTestControl::Visible, &TTestControl::Visible, true)
                                     .Enum("Align", &TTestControl::Align, &TTestControl::Align, kAlignNames, 0)
                                     .Integer("Color", &TTestControl::Color, &TTestControl::Color, 0, &kColors)
                                     .Char("Drive", &TTestControl::Drive, &TTestControl::Drive)
                                     .Integer("Alpha", &TTestControl::Alpha, &TTestControl::Alpha, 255)
                                     .Object("Lines", &TTestControl::Lines)
                                     .Object("Font", &TTestControl::Font)
                                     .Object("Areas", &TTestControl::Areas)
                                     .Component<TTestControl>("Buddy", &TTestControl::Buddy, &TTestControl::Buddy)
                                     .Event("OnClick", &TTestControl::OnClick)
                                     .Event("OnKey", &TTestControl::OnKey)
                                     .Info();
  return info;
}

class TTestForm : public TTestControl {
  ORV_CLASSINFO(TTestForm)
public:
  explicit TTestForm(TComponent* owner) : TTestControl(owner) {}
  void OkClick(TObject* sender) { Clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
  void KeyPress(TObject*, int key) { Keys.push_back(key); }
  std::vector<std::string> Clicks;
  std::vector<int> Keys;
};

const TClassInfo& TTestForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestForm>("TTestForm", &TTestControl::StaticClassInfo())
                                     .Method("OkClick", &TTestForm::OkClick)
                                     .Method("KeyPress", &TTestForm::KeyPress)
                                     .Info();
  return info;
}

// Items that hold a collection of their own, whose items refer to components.
class TTestGroup : public TCollectionItem {
  ORV_CLASSINFO(TTestGroup)
public:
  explicit TTestGroup(TCollection* c) : TCollectionItem(c), Areas(this, TTestArea::StaticClassInfo()) {}
  TOwnedCollection Areas;
};

const TClassInfo& TTestGroup::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestGroup>("TTestGroup", &TCollectionItem::StaticClassInfo())
                                     .Object("Areas", &TTestGroup::Areas)
                                     .Info();
  return info;
}

class TTestGroupForm : public TTestForm {
  ORV_CLASSINFO(TTestGroupForm)
public:
  explicit TTestGroupForm(TComponent* owner) : TTestForm(owner), Groups(this, TTestGroup::StaticClassInfo()) {}
  TOwnedCollection Groups;
};

const TClassInfo& TTestGroupForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TTestGroupForm>("TTestGroupForm", &TTestForm::StaticClassInfo())
                                     .Object("Groups", &TTestGroupForm::Groups)
                                     .Info();
  return info;
}

class FilerTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterClass(TTestControl::StaticClassInfo());
    RegisterClass(TTestForm::StaticClassInfo());
    TTestControl::LoadOrder().clear();
  }
  void TearDown() override {
    UnRegisterClass(TTestControl::StaticClassInfo());
    UnRegisterClass(TTestForm::StaticClassInfo());
  }

  static std::string Binary(const std::string& text) {
    TMemoryStream out;
    ObjectTextToBinary(text, out);
    return out.ToString();
  }
  struct Hooks {
    decltype(TReader::OnError) OnError;
    decltype(TReader::OnFindMethod) OnFindMethod;
  };
  static std::unique_ptr<TTestForm> Load(const std::string& bytes, const Hooks* hooks = nullptr) {
    auto form = std::make_unique<TTestForm>(nullptr);
    TMemoryStream in(bytes);
    TReader reader(in);
    if (hooks) {
      reader.OnError = hooks->OnError;
      reader.OnFindMethod = hooks->OnFindMethod;
    }
    reader.ReadRootComponent(form.get());
    return form;
  }
  static std::string Save(TComponent* root) {
    TMemoryStream out;
    WriteRootComponent(out, root);
    return out.ToString();
  }
};

const char* kFullForm = R"(object MainForm: TTestForm
  Caption = 'It''s ' + 'two'#13#10'lines'
  Width = 400
  Big = 5000000000
  Visible = False
  Align = alClient
  Color = clWhite
  Drive = #0
  Alpha = 128
  Lines.Strings = (
    'one'
    'two')
  Font.Name = 'Arial'
  Font.Size = 12
  Font.Style = [fsBold, fsUnderline]
  Areas = <
    item
      Hint = 'first'
      Target = OkBtn
    end
    item
      Cursor = -3
    end>
  Left = 16
  Top = -8
  object Panel: TTestControl
    Drive = 'C'
    Buddy = OkBtn
    object OkBtn: TTestControl
      Caption = 'OK'
      Drive = 'C'
      OnClick = OkClick
      OnKey = KeyPress
    end
  end
end
)";

TEST_F(FilerTest, TextDefinitionBuildsTheTree) {
  auto form = Load(Binary(kFullForm));
  EXPECT_EQ(form->Name(), "MainForm");
  EXPECT_EQ(form->Caption, "It's two\r\nlines");
  EXPECT_EQ(form->Width, 400);
  EXPECT_EQ(form->Big, 5000000000LL);
  EXPECT_FALSE(form->Visible);
  EXPECT_EQ(form->Align, 3);
  EXPECT_EQ(form->Color, 0xFFFFFF);
  EXPECT_EQ(form->Drive, '\0');
  EXPECT_EQ(form->Alpha, 128);
  EXPECT_EQ(form->Lines.Text(), "one\r\ntwo\r\n");
  EXPECT_EQ(form->Font.FontName, "Arial");
  EXPECT_EQ(form->Font.Size, 12);
  EXPECT_EQ(form->Font.Style, 0b101);
  EXPECT_EQ(form->DesignInfo(), static_cast<int32_t>(0xFFF80010u));

  auto* panel = dynamic_cast<TTestControl*>(form->FindComponent("Panel"));
  auto* ok = dynamic_cast<TTestControl*>(form->FindComponent("OkBtn"));
  ASSERT_TRUE(panel && ok);
  EXPECT_EQ(ok->Owner(), form.get());
  EXPECT_EQ(ok->ParentComp, panel);
  EXPECT_EQ(panel->ParentComp, form.get());
  EXPECT_EQ(panel->Buddy, ok);

  ASSERT_EQ(form->Areas.Count(), 2);
  auto* first = static_cast<TTestArea*>(form->Areas.Items(0));
  EXPECT_EQ(first->Hint, "first");
  EXPECT_EQ(first->Target, ok);
  EXPECT_EQ(static_cast<TTestArea*>(form->Areas.Items(1))->Cursor, -3);

  ASSERT_TRUE(ok->OnClick);
  EXPECT_EQ(ok->OnClick.MethodName(), "OkClick");
  ok->OnClick(ok);
  ok->OnKey(ok, 13);
  EXPECT_EQ(form->Clicks, std::vector<std::string>{"OkBtn"});
  EXPECT_EQ(form->Keys, std::vector<int>{13});
}

TEST_F(FilerTest, LoadedRunsAfterTheWholeTreeRootFirst) {
  auto form = Load(Binary(kFullForm));
  EXPECT_EQ(TTestControl::LoadOrder(), (std::vector<std::string>{"MainForm", "Panel", "OkBtn"}));
  EXPECT_EQ(form->SawCaptionInLoaded, "It's two\r\nlines");
  for (TComponent* c : {static_cast<TComponent*>(form.get()), form->FindComponent("OkBtn")})
    EXPECT_FALSE(c->HasState(csLoading) || c->HasState(csReading));
}

TEST_F(FilerTest, WriterOutputIsWhatTheTextConvertsTo) {
  const std::string fromText = Binary(kFullForm);
  auto form = Load(fromText);
  // The event bound from code has no method name, so it is not written.
  EXPECT_EQ(Save(form.get()),
            Binary(std::string(kFullForm).replace(std::string(kFullForm).find("      OnKey = KeyPress\n"), 23, "")));
  auto again = Load(Save(form.get()));
  EXPECT_EQ(Save(again.get()), Save(form.get()));
}

TEST_F(FilerTest, DefaultValuesAreLeftOutAndBooleansWithoutDefaultAlwaysWritten) {
  TTestForm form(nullptr);
  form.SetName("F");
  // Visible defaults to True, Width to 75; Drive declares no default, so it is always there.
  EXPECT_EQ(Save(&form), std::string("TPF0\x09TTestForm\x01"
                                     "F\x05"
                                     "Drive\x06\x01"
                                     "C\x00\x00",
                                     27));
}

TEST_F(FilerTest, ReadComponentCreatesTheRootByClassName) {
  TMemoryStream in;
  ObjectTextToBinary("object X: TTestControl Width = 1 end", in);
  in.SetPosition(0);
  std::unique_ptr<TComponent> c(ReadComponent(in, nullptr));
  ASSERT_NE(dynamic_cast<TTestControl*>(c.get()), nullptr);
  EXPECT_EQ(static_cast<TTestControl*>(c.get())->Width, 1);
}

TEST_F(FilerTest, ErrorsAreRaisedUnlessTheHookHandlesThem) {
  const std::string bad = Binary(R"(object F: TTestForm
    Width = 'text'
    Drive = 'CD'
    Alpha = 256
    Nonsense = 5
    Align = alSideways
    OnClick = NoSuchMethod
    Buddy = Nobody
    Caption = 'kept'
    object Lost: TUnknownClass
      Width = 3
      object Inner: TTestControl
      end
    end
    object Kept: TTestControl
      Width = 9
    end
  end)");
  try {
    Load(bad);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Error reading F.Width: Invalid property value");
  }

  std::vector<std::string> messages;
  Hooks hooks;
  hooks.OnError = [&](TReader&, const std::string& msg, bool& handled) {
    messages.push_back(msg);
    handled = true;
  };
  auto form = Load(bad, &hooks);
  EXPECT_EQ(form->Width, 75);
  EXPECT_EQ(form->Caption, "kept");
  EXPECT_FALSE(form->OnClick);
  EXPECT_EQ(form->Buddy, nullptr);
  EXPECT_EQ(form->FindComponent("Lost"), nullptr);
  EXPECT_EQ(form->FindComponent("Inner"), nullptr);
  ASSERT_NE(form->FindComponent("Kept"), nullptr);
  EXPECT_EQ(static_cast<TTestControl*>(form->FindComponent("Kept"))->Width, 9);
  EXPECT_EQ(form->Drive, 'C');
  EXPECT_EQ(form->Alpha, 255);
  EXPECT_EQ(messages.size(), 8u);
  EXPECT_EQ(messages[3], "Property Nonsense does not exist");
  EXPECT_EQ(messages[6], "Class TUnknownClass not found");
  EXPECT_EQ(messages[7], "Component Nobody not found");
}

TEST_F(FilerTest, MethodHookResolvesNamesElsewhereAndSignaturesMustMatch) {
  TTestForm host(nullptr);
  Hooks hooks;
  hooks.OnFindMethod = [&](TReader&, const std::string& name, TMethodValue& method, bool& error) {
    if (auto found = FindPublishedMethod(host, name)) {
      method = *found;
      error = false;
    }
  };
  auto form = Load(Binary("object F: TTestControl OnClick = OkClick end"), &hooks);
  form->SetName("Me");
  form->OnClick(form.get());
  EXPECT_EQ(host.Clicks, std::vector<std::string>{"Me"});
  EXPECT_TRUE(form->Clicks.empty());

  // KeyPress takes (TObject*, int): not an OnClick handler.
  EXPECT_THROW(Load(Binary("object F: TTestForm OnClick = KeyPress end")), EReadError);
}

TEST_F(FilerTest, DamagedBinaryRaisesReadErrorsAndNeverReadsOutOfBounds) {
  const std::string good = Binary(kFullForm);
  // Every truncation and a flipped byte at every position: only the framework's errors.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_THROW(Load(good.substr(0, cut)), Exception) << "cut at " << cut;
  }
  for (size_t i = 0; i < good.size(); ++i) {
    for (uint8_t flip : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
      std::string bad = good;
      bad[i] = static_cast<char>(bad[i] ^ flip);
      try {
        Load(bad);
      } catch (const Exception&) {
      }
    }
  }
  EXPECT_THROW(Load("TPF1"), EReadError);
  // A long string that claims more bytes than there are.
  std::string head = Binary("object F: TTestForm end");
  EXPECT_THROW(Load(head.substr(0, head.size() - 2) + "\x07"
                                                      "Caption\x0c\xff\xff\xff\x7f"),
               EReadError);
}

TEST_F(FilerTest, DeeplyNestedInputIsRefused) {
  std::string text = "object F: TTestForm Lines.Strings = ";
  for (int i = 0; i < 300; ++i) text += "(";
  EXPECT_THROW(Binary(text), EParserError);
  std::string bytes = Binary("object F: TTestForm end");
  std::string nested = bytes.substr(0, bytes.size() - 2) + std::string(1, '\0');
  for (int i = 0; i < 300; ++i)
    nested += std::string("\x0cTTestControl\x02", 14) + char('a' + i / 26) + char('a' + i % 26) + '\0';
  EXPECT_THROW(Load(nested), EReadError);
}

TEST(TextForm, SyntaxErrorsNameTheLine) {
  TMemoryStream out;
  auto message = [&](const std::string& text) {
    try {
      ObjectTextToBinary(text, out);
    } catch (const EParserError& e) {
      return e.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(message("object F: T\n  Caption = 'open\nend"), "Unterminated string on line 2");
  EXPECT_EQ(message("object F: T\n\n  Width 5\nend"), "'=' expected on line 3");
  EXPECT_EQ(message("object F: T\n  Data = {0A0}\nend"), "Invalid binary value on line 2");
  EXPECT_EQ(message("object F: T\n  Data = @file('x')\nend"), "File values are not allowed here on line 2");
  EXPECT_EQ(message("object F: T\n  S = 1.5\nend"), "Floating-point values are not supported on line 2");
  EXPECT_EQ(message("object F: T\n  S = #300\nend"), "Character code out of range on line 2");
  EXPECT_EQ(message("object F: T\nend\nobject G: T end"), "End of text expected on line 3");
  EXPECT_EQ(message("object F: T // a comment\n  Data = {0A 0b\n   ff}\nend"), "no error");
}

TEST(TextForm, DamagedTextRaisesParserErrorsOnly) {
  const std::string text = kFullForm;
  for (size_t cut = 0; cut + 1 < text.size(); ++cut) {
    TMemoryStream out;
    EXPECT_THROW(ObjectTextToBinary(text.substr(0, cut), out), EParserError) << "cut at " << cut;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    for (char c : {'\'', '{', '(', '<', '#', '$', '\0', '@', '-'}) {
      std::string bad = text;
      bad[i] = c;
      TMemoryStream out;
      try {
        ObjectTextToBinary(bad, out);
      } catch (const EParserError&) {
      }
    }
  }
}

TEST(TextForm, ValuesTakeTheirSmallestBinaryForm) {
  TMemoryStream out;
  ObjectTextToBinary("object F: T A = 127 B = -129 C = $10000 D = 'x' E = nil F = [] G = {} end", out);
  const std::string expected = std::string(
                                   "TPF0\x01T\x01"
                                   "F",
                                   8) +
                               std::string(
                                   "\x01"
                                   "A\x02\x7f",
                                   4) +
                               std::string(
                                   "\x01"
                                   "B\x03\x7f\xff",
                                   5) +
                               std::string(
                                   "\x01"
                                   "C\x04\x00\x00\x01\x00",
                                   7) +
                               std::string(
                                   "\x01"
                                   "D\x06\x01x",
                                   5) +
                               std::string(
                                   "\x01"
                                   "E\x0d",
                                   3) +
                               std::string(
                                   "\x01"
                                   "F\x0b\x00",
                                   4) +
                               std::string("\x01G\x0a\x00\x00\x00\x00", 7) + std::string("\x00\x00", 2);
  EXPECT_EQ(out.ToString(), expected);
  TMemoryStream longOut;
  ObjectTextToBinary("object F: T S = '" + std::string(300, 'a') + "' end", longOut);
  EXPECT_EQ(longOut.ToString().substr(10, 5), std::string("\x0c\x2c\x01\x00\x00", 5));
}

TEST_F(FilerTest, ReferencesInsideItemsOfAClearedCollectionAreDroppedWithThem) {
  const std::string bytes = Binary(R"(object F: TTestGroupForm
    Groups = <item Areas = <item Target = OkBtn end> end>
    Groups = <item end item Areas = <item Hint = 'kept' Target = OkBtn end> end>
    object OkBtn: TTestControl end
  end)");
  auto form = std::make_unique<TTestGroupForm>(nullptr);
  TMemoryStream in(bytes);
  ReadRootComponent(in, form.get());
  ASSERT_EQ(form->Groups.Count(), 2);
  EXPECT_EQ(static_cast<TTestGroup*>(form->Groups.Items(0))->Areas.Count(), 0);
  auto& areas = static_cast<TTestGroup*>(form->Groups.Items(1))->Areas;
  ASSERT_EQ(areas.Count(), 1);
  auto* area = static_cast<TTestArea*>(areas.Items(0));
  EXPECT_EQ(area->Hint, "kept");
  EXPECT_EQ(area->Target, form->FindComponent("OkBtn"));
}

TEST(TextForm, NestingIsCountedAcrossTheWholeConversion) {
  std::string text = "object F: T ";
  for (int i = 0; i < 300; ++i) text += "A = <item ";
  for (int i = 0; i < 300; ++i) text += "end> ";
  text += "end";
  TMemoryStream out;
  EXPECT_THROW(ObjectTextToBinary(text, out), EParserError);
  std::string deepest = "object F: T ";
  for (int i = 0; i < 60; ++i) deepest += "A = <item ";
  for (int i = 0; i < 60; ++i) deepest += "end> ";
  TMemoryStream fine;
  EXPECT_NO_THROW(ObjectTextToBinary(deepest + "end", fine));
}

TEST(TextForm, IntegersThatDoNotFitRaiseTheParserError) {
  for (const char* number : {"18446744073709551617", "$10000000000000005", "9223372036854775808", "$8000000000000000",
                             "99999999999999999999999"}) {
    TMemoryStream out;
    EXPECT_THROW(ObjectTextToBinary(std::string("object F: T A = ") + number + " end", out), EParserError) << number;
  }
  TMemoryStream out;
  ObjectTextToBinary("object F: T A = 9223372036854775807 B = $7FFFFFFFFFFFFFFF end", out);
  const std::string bytes = out.ToString();
  EXPECT_EQ(bytes.substr(10, 9), std::string("\x13\xff\xff\xff\xff\xff\xff\xff\x7f", 9));
}

}  // namespace
