#include "app/RightListView.h"
#include "store/MeetingMap.h"
#include "tests/support/WidgetDriving.h"
#include "ui/StringTable.h"

namespace {

using QuickViewPaneTest = CQtTest;

} // namespace

TEST_F(QuickViewPaneTest, HidingTheFocusedExportItemLeavesTheFocusOnARow) {
    CMeetingMap quickView;
    CRightListView pane(quickView, TestServices());
    pane.resize(200, 450);
    pane.SetExportItemShown(true);
    pane.Fill();
    Activate(pane);
    FocusOn(pane);
    Press(Qt::Key_End);
    ASSERT_EQ(pane.GetSelectionMark(), static_cast<int>(CRightListView::exportRow));

    pane.SetExportItemShown(false);
    pane.HideExportItem();
    EXPECT_EQ(pane.GetSelectionMark(), static_cast<int>(CRightListView::exitRow));
    TestServices().ScriptAnswers({false});
    Press(Qt::Key_Return);
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(StringId::askCloseProgram)})
        << "Enter acts on the row that took the focus";
}
