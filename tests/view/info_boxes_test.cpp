// The About box and the README box: one instance each, shown modelessly, hidden by OK.
#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "browser/unit3.h"
#include "shell/about1.h"
#include "shell/unit1.h"
#include "view/viewwin.h"

#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <functional>

namespace viewtest {
namespace {

class InfoBoxesTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        CreateForms();
    }
    template <class Box> int Instances() const {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            count += dynamic_cast<Box*>(window) != nullptr;
        return count;
    }
};

TEST_F(InfoBoxesTest, AboutTwiceLeavesOneBoxInFront) {
    ImageForm->Show();
    ImageForm->K2Click(ImageForm->K2);
    const QRect place = AboutBox->geometry();
    ImageForm->Button4->Click();
    EXPECT_TRUE(AboutBox->isVisible());
    EXPECT_EQ(AboutBox->geometry(), place);
    EXPECT_EQ(Instances<TAboutBox>(), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(AboutBox));
    AboutBox->OKButtonClick(AboutBox->OKButton);
    EXPECT_FALSE(AboutBox->isVisible());
}

TEST_F(InfoBoxesTest, EnterPressesOkAndEscapeDoesNothing) {
    struct Box {
        const char* title;
        vcl::TForm* form;
        std::function<void()> show;
    };
    const Box boxes[] = {
        {"About", AboutBox, [] { ImageForm->K2Click(ImageForm->K2); }},
        {"README", OKBottomDlg,
         [] {
             ImageForm->readme1Click(ImageForm->readme1);
             OKBottomDlg->OKBtn->setFocus();
         }},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.title);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(box.form));
        QTest::keyClick(box.form, Qt::Key_Escape);
        EXPECT_TRUE(box.form->isVisible());
        QTest::keyClick(box.form, Qt::Key_Return);
        EXPECT_FALSE(box.form->isVisible());
    }
}

TEST_F(InfoBoxesTest, TheBoxesCanBeOpenTogether) {
    ImageForm->Show();
    ImageForm->K2Click(ImageForm->K2);
    ImageForm->readme1Click(ImageForm->readme1);
    ImageForm->PopupMenu1->SetPopupComponent(ImageForm->All1);
    ImageForm->K5Click(ImageForm->K5);
    ImageForm->All1DblClick(ImageForm->All1);
    for (QWidget* window : {static_cast<QWidget*>(ImageForm), static_cast<QWidget*>(AboutBox),
                            static_cast<QWidget*>(OKBottomDlg), static_cast<QWidget*>(OKBottomDlg1),
                            static_cast<QWidget*>(ViewForm)})
        EXPECT_TRUE(window->isVisible()) << window->windowTitle().toStdString();
    EXPECT_EQ(Instances<TOKBottomDlg>(), 1);
}

TEST_F(InfoBoxesTest, AMovedBoxReopensWhereItWasLeft) {
    ImageForm->K2Click(ImageForm->K2);
    AboutBox->move(33, 44);
    AboutBox->close();
    EXPECT_FALSE(AboutBox->isVisible());
    ImageForm->K2Click(ImageForm->K2);
    EXPECT_EQ(AboutBox->pos(), QPoint(33, 44));
}

TEST_F(InfoBoxesTest, TextTypedIntoTheReadmeStaysUntilTheEnd) {
    ImageForm->readme1Click(ImageForm->readme1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(OKBottomDlg));
    QPlainTextEdit* editor = OKBottomDlg->Memo1->Editor();
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "memo");
    // Enter in the text box starts a new line instead of pressing OK.
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(OKBottomDlg->isVisible());
    OKBottomDlg->OKBtnClick(OKBottomDlg->OKBtn);
    EXPECT_FALSE(OKBottomDlg->isVisible());
    ImageForm->readme1Click(ImageForm->readme1);
    EXPECT_TRUE(editor->toPlainText().endsWith("memo\n"));

    Restart();
    EXPECT_FALSE(OKBottomDlg->Memo1->Editor()->toPlainText().contains("memo"));
}

TEST_F(InfoBoxesTest, TheReadmeHasItsLinesAndSections) {
    const std::string text = kReadmeText;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n') + 1, 71);
    EXPECT_EQ(OKBottomDlg->Memo1->Editor()->document()->blockCount(), 71);
    size_t titles = 0;
    for (size_t at = text.find("\n【"); at != std::string::npos; at = text.find("\n【", at + 1))
        ++titles;
    EXPECT_EQ(titles, 13u);
    EXPECT_EQ(text.rfind("「Ｚｏｒｖａｎｅ", 0), 0u);
}

} // namespace
} // namespace viewtest
