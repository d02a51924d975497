#include "calendar/MeetingDrag.h"
#include "tests/support/WidgetDriving.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QScrollBar>

namespace {

class MeetingDrag : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        area.resize(300, 200);
        area.verticalScrollBar()->setRange(0, 1000);
        area.verticalScrollBar()->setValue(500);
        area.show();
        area.activateWindow();
        area.setFocus();
        QApplication::processEvents();
    }
    int Scroll() const { return area.verticalScrollBar()->value(); }

    QAbstractScrollArea area;
    CMeetingDrag drag{area};
};

} // namespace

TEST_F(MeetingDrag, ThePictureShowsOverTheListAndADropBesideItIsNone) {
    drag.Press("m", {100, 100});
    drag.Move({100, 100 + QApplication::startDragDistance()}, Qt::LeftButton);
    ASSERT_TRUE(drag.IsDragging());
    ASSERT_NE(drag.GetPicture(), nullptr);
    EXPECT_TRUE(drag.GetPicture()->isVisible());
    drag.Move({400, 100}, Qt::LeftButton);
    EXPECT_FALSE(drag.GetPicture()->isVisible()) << "the picture shows over the list only";
    EXPECT_FALSE(drag.Release({400, 100}).has_value()) << "dropped beside the list";
    EXPECT_EQ(drag.GetPicture(), nullptr);

    drag.Press("m", {100, 100});
    drag.Move({100, 150}, Qt::NoButton);
    EXPECT_FALSE(drag.IsPressed()) << "the button came up elsewhere";

    drag.Press("m", {100, 100});
    drag.Move({100, 150}, Qt::LeftButton);
    area.hide();
    EXPECT_FALSE(drag.IsDragging()) << "a list that is hidden ends the drag";
}

TEST_F(MeetingDrag, TheListScrollsBeyondItsEdges) {
    drag.Press("m", {100, 100});
    drag.Move({100, 150}, Qt::LeftButton);
    EXPECT_EQ(Scroll(), 500);
    drag.Move({100, -3}, Qt::LeftButton);
    EXPECT_EQ(Scroll(), 500 - CMeetingDrag::scrollStep) << "above the top";
    drag.Move({100, area.viewport()->height() + 3}, Qt::LeftButton);
    drag.Move({100, area.viewport()->height() + 4}, Qt::LeftButton);
    EXPECT_EQ(Scroll(), 500 + CMeetingDrag::scrollStep) << "below the bottom";
    drag.Move({100, 100}, Qt::LeftButton);
    EXPECT_EQ(Scroll(), 500 + CMeetingDrag::scrollStep) << "back over the list it rests";
    EXPECT_EQ(drag.Release({100, 100}), std::optional<std::string>("m"));
}
