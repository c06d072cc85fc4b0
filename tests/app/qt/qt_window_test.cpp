#include "host/qt/qt_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <optional>

#include "host/start/dispatch.h"
#include "host/runtime/runtime_error.h"
#include "host/qt/qt_backend.h"
#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/start/start.h"
#include "host/objects/twips.h"
#include "window/design.h"
#include "window/procedures.h"
#include "app/project_image.h"

namespace host::qt {
namespace {

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // As the start routine does it, from the records.
    plan_.emplace(PlanStart(app::kProjectImage, window::kJSONfrmCode));
    window_ = &backend_.CreateWindow(plan_->design.Design(), dispatcher_);
    form_ = window::kJSONfrmCode.create(*window_, InterfacesOf(plan_->project.objects.at(plan_->object)));
    dispatcher_.Attach(*form_, plan_->bindings);
    dispatcher_.Raise("JSONfrm", Event::kLoad);
    window_->Show();
    QApplication::processEvents();
    top_ = QApplication::topLevelWidgets().value(0);
  }

  template <class T>
  T* Find(const char* name) {
    T* widget = top_->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QRect DesignPixels(const TwipRect& rect) {
    const int x = top_->logicalDpiX();
    const int y = top_->logicalDpiY();
    return QRect(TwipsToPixels(rect.left, x), TwipsToPixels(rect.top, y),
                 TwipsToPixels(rect.width, x), TwipsToPixels(rect.height, y));
  }

  void SetInputs(const QString& text) { Find<TextView>("Inputs")->ReplaceAll(ToString(text)); }
  void PressConvert() { QTest::mouseClick(Find<QPushButton>("Command1"), Qt::LeftButton); }
  String OutputsText() {
    String text;
    Ref<TextBox> box;
    EXPECT_EQ(window_->GetTextBox("Outputs", box), kOk);
    EXPECT_EQ(box->GetText(text), kOk);
    return text;
  }

  QtBackend backend_;
  std::optional<StartPlan> plan_;
  Dispatcher dispatcher_{backend_, "Quillfen"};
  NativeWindow* window_ = nullptr;
  std::unique_ptr<Form> form_;
  QWidget* top_ = nullptr;
};

TEST_F(QtWindowTest, WindowHasCaptionAndDesignClientSize) {
  ASSERT_NE(top_, nullptr);
  EXPECT_EQ(top_->windowTitle(), "JSON to readable text converter");
  EXPECT_EQ(top_->size(), DesignPixels({0, 0, 6615, 10890}).size());
}

TEST_F(QtWindowTest, AWindowAskedFarLargerThanTheScreensStopsAtTheirSize) {
  ASSERT_NE(top_, nullptr);
  top_->resize(32767, 32767);
  const QSize screens = QGuiApplication::primaryScreen()->virtualSize();
  EXPECT_LE(top_->width(), std::max(screens.width(), DesignPixels({0, 0, 6615, 10890}).width()));
  EXPECT_LE(top_->height(), std::max(screens.height(), DesignPixels({0, 0, 6615, 10890}).height()));
}

TEST_F(QtWindowTest, ControlsHaveTheirCaptionsAndFixedControlsTheirDesignPlaces) {
  for (const ControlDesign& control : window::kJSONfrmDesign.controls) {
    QWidget* widget = Find<QWidget>(std::string(control.name).c_str());
    ASSERT_NE(widget, nullptr);
    if (control.kind == ControlKind::kTextBox) continue;  // laid out by Resize
    EXPECT_EQ(widget->geometry(), DesignPixels(control.rect)) << control.name;
  }
  EXPECT_EQ(Find<QPushButton>("Command1")->text(), "Convert");
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "JSON string - paste in");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), "JSON converted to readable");
  EXPECT_FALSE(Find<QPushButton>("Command1")->isDefault());
  EXPECT_FALSE(Find<QPushButton>("Command1")->autoDefault());
}

TEST_F(QtWindowTest, FocusStartsInInputsAndTabGoesToConvertThenOutputs) {
  auto* inputs = Find<QWidget>("Inputs");
  EXPECT_EQ(QApplication::focusWidget(), inputs);
  QTest::keyClick(inputs, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("Command1"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("Outputs"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>("Command1"));
  EXPECT_EQ(Find<TextView>("Inputs")->Text(), u"") << "Tab must not be typed";
  EXPECT_EQ(Find<QLabel>("Label1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(QtWindowTest, EnterInInputsStartsANewLineAndDoesNotConvert) {
  auto* inputs = Find<TextView>("Inputs");
  QTest::keyClicks(inputs, "{a");
  QTest::keyClick(inputs, Qt::Key_Return);
  QTest::keyClicks(inputs, "}");
  Ref<TextBox> box;
  ASSERT_EQ(window_->GetTextBox("Inputs", box), kOk);
  String text;
  ASSERT_EQ(box->GetText(text), kOk);
  EXPECT_EQ(text, u"{a\r\n}");
  EXPECT_EQ(OutputsText(), u"");
}

TEST_F(QtWindowTest, ConvertShowsReadableText) {
  SetInputs("{\"a\":1,\"b\":{\"c\":2}}");
  PressConvert();
  EXPECT_EQ(OutputsText(), u"{\r\n\"a\":1\r\n\"b\":{\r\n\"c\":2\r\n}\r\n}");
  EXPECT_EQ(Find<TextView>("Outputs")->LineCount(), 6u);
}

TEST_F(QtWindowTest, SpaceReturnAndEnterOnFocusedConvertPressIt) {
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* input;
    std::u16string_view expected;
  };
  const Press presses[] = {
      {Qt::Key_Space, Qt::NoModifier, "{a}", u"{\r\na\r\n}"},
      {Qt::Key_Return, Qt::NoModifier, "{b}", u"{\r\nb\r\n}"},
      {Qt::Key_Enter, Qt::KeypadModifier, "{c}", u"{\r\nc\r\n}"},
  };
  auto* button = Find<QPushButton>("Command1");
  for (const Press& press : presses) {
    SetInputs(press.input);
    button->setFocus();
    QTest::keyClick(button, press.key, press.modifiers);
    EXPECT_EQ(OutputsText(), press.expected) << press.input;
    EXPECT_EQ(QApplication::focusWidget(), button) << "focus stays on Convert";
  }
}

TEST_F(QtWindowTest, ModifiedReturnOnFocusedConvertPressesNothing) {
  SetInputs("{}");
  auto* button = Find<QPushButton>("Command1");
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClick(button, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(OutputsText(), u"");
}

TEST_F(QtWindowTest, ConvertOverwritesTypedOutputsAndEmptyInputEmptiesIt) {
  auto* outputs = Find<TextView>("Outputs");
  QTest::keyClicks(outputs, "typed");
  PressConvert();
  EXPECT_EQ(OutputsText(), u"");
}

TEST_F(QtWindowTest, UndoInOutputsCannotBringBackWhatConvertReplaced) {
  auto* outputs = Find<TextView>("Outputs");
  QTest::keyClicks(outputs, "typed");
  SetInputs("{}");
  PressConvert();
  SetInputs("[1,2]");
  PressConvert();
  outputs->setFocus();
  QTest::keyClick(outputs, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(OutputsText(), u"[1\r\n2]");
  // The user's own edits after a Convert are undone as before.
  QTest::keyClicks(outputs, "x");
  QTest::keyClick(outputs, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(OutputsText(), u"[1\r\n2]");
}

TEST_F(QtWindowTest, NonAsciiAndNoBreakSpaceSurvivePasteAndConvert) {
  QApplication::clipboard()->setText(QString::fromUtf16(u"{\"k\u00A0\":\"\u00E9\U0001F600\"}"));
  auto* inputs = Find<TextView>("Inputs");
  inputs->setFocus();
  QTest::keyClick(inputs, Qt::Key_V, Qt::ControlModifier);
  PressConvert();
  EXPECT_EQ(OutputsText(), u"{\r\n\"k\u00A0\":\"\u00E9\U0001F600\"\r\n}");
}

TEST_F(QtWindowTest, CopyFromOutputsUsesLineFeedsAndKeepsEveryOtherCharacter) {
  SetInputs(QString::fromUtf16(u"{a\u00A0b,\U0001F600}"));
  PressConvert();
  auto* outputs = Find<TextView>("Outputs");
  outputs->SelectAll();
  outputs->Copy();
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf16(u"{\na\u00A0b\n\U0001F600\n}"));
}

TEST_F(QtWindowTest, UnknownTextBoxIsAFailingStatus) {
  Ref<TextBox> box;
  EXPECT_TRUE(window_->GetTextBox("Label1", box).Failed());
  EXPECT_FALSE(box);
}

// JSONfrm's procedure table with a Click that fails.
constexpr std::array<Procedure, 4> kFailingOnClick{{
    {"JSONFormat", nullptr},
    {"Command1_Click", [](Form&) { throw RuntimeError(ErrorNumber::kOverflow, "Overflow"); }},
    {"Form_Load", [](Form&) {}},
    {"Form_Resize", [](Form&) {}},
}};

// Starts a program whose Click fails, presses Convert, and accepts the
// message box that follows, printing its text.
[[noreturn]] void RunFailingProgram() {
  QtBackend backend;
  const ObjectCode code{.create = [](Window&, const ObjectInterfaces&) { return std::make_unique<Form>(); },
                        .procedures = kFailingOnClick};
  QTimer::singleShot(0, [] {
    QApplication::topLevelWidgets().value(0)->findChild<QPushButton*>("Command1")->click();
  });
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "shown: %s\n", box->text().toUtf8().constData());
      box->accept();
    }
  });
  closer.start(20);
  std::exit(Start(backend, app::kProjectImage, code));
}

// The whole program in a child process: a failing handler shows a message
// box and the process ends with a non-zero status.
TEST(QtErrorReport, HandlerErrorIsShownAndEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RunFailingProgram(), ::testing::ExitedWithCode(1),
              "shown: Run-time error '6': Overflow");
}

}  // namespace
}  // namespace host::qt
