// The colour memo in a window: the formats its lines get, read from their layouts.
#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "controls/ColMemo.h"
#include "platform/TextCodec.h"
#include "support/GuiTest.h"

namespace {

struct ColMemoTest : TGuiTest {
  TColorMemo Memo;
  ColMemoTest() {
    Memo.setObjectName("memoScript");
    Memo.resize(320, 200);
    TDrawRules& Rules = Memo.ColorRules();
    Add(Rules, dtKeyShow, clNavy).SetKeywords({"if", "then", "endif", "for", "while", "begin", "end", "else", "do"});
    Add(Rules, dtKeyShow, clBlue).SetKeywords({"print", "Random", "Distance"});
    Add(Rules, dtBeginEnd, clPurple).SetKeyBegEndLst({"';';"});
    Add(Rules, dtBeginEnd, clGreen).SetKeyBegEndLst({"{;};"});
    Add(Rules, dtKeyShow, clRed).SetKeywords({"LAND", "AIR", "SEA"});
    Memo.show();
    QCoreApplication::processEvents();
  }
  static TColorRule& Add(TDrawRules& Rules, TKeyDrawingType Type, TColor Color) {
    TColorRule& R = Rules.Add();
    R.SetKeyDrawingType(Type);
    R.SetDefKeyColor(Color);
    return R;
  }

  // Line Number's formats as "text=#rrggbb", "+u" when underlined, "/bg #rrggbb" with a background.
  std::vector<std::string> Formats(int Number) {
    const QTextBlock Block = Memo.document()->findBlockByNumber(Number);
    std::vector<std::string> Out;
    for (const QTextLayout::FormatRange& R : Block.layout()->formats()) {
      std::string S = FromQString(Block.text().mid(R.start, R.length)) + "=" +
                      FromQString(R.format.foreground().color().name());
      if (R.format.fontUnderline()) S += "+u";
      if (R.format.hasProperty(QTextFormat::BackgroundBrush))
        S += "/bg " + FromQString(R.format.background().color().name());
      Out.push_back(S);
    }
    return Out;
  }
  void Type(const QString& Text) {
    QTest::keyClicks(&Memo, Text);
    QCoreApplication::processEvents();
  }
  void MoveTo(int Position) {
    QTextCursor C = Memo.textCursor();
    C.setPosition(Position);
    Memo.setTextCursor(C);
  }
  // The centre of the character at Position, in viewport coordinates.
  QPoint CentreOf(int Position) {
    QTextCursor C(Memo.document());
    C.setPosition(Position);
    const QRect Left = Memo.cursorRect(C);
    C.setPosition(Position + 1);
    const QRect Right = Memo.cursorRect(C);
    return QPoint((Left.left() + Right.left()) / 2, Left.center().y());
  }
};

using TFormats = std::vector<std::string>;

const std::string Navy = "#000080", Blue = "#0000ff", Purple = "#800080", Green = "#008000";

}  // namespace

TEST_F(ColMemoTest, TypedTextIsColouredAsItIsTyped) {
  Type("if x then print('done')");
  EXPECT_EQ(Formats(0), (TFormats{"if=" + Navy, "then=" + Navy, "print=" + Blue, "'done'=" + Purple}));
  Type(" {note");
  // The comment is not closed yet: it colours nothing.
  EXPECT_EQ(Formats(0).size(), 4u);
  Type("}");
  EXPECT_EQ(Formats(0).back(), "{note}=" + Green);
  GrabToPng(Memo);
}

TEST_F(ColMemoTest, AChangeRecoloursEveryLineInView) {
  Memo.setPlainText("x\nif a then\nb");
  QCoreApplication::processEvents();
  EXPECT_EQ(Formats(1), (TFormats{"if=" + Navy, "then=" + Navy}));
  // Opening a comment on the first line and closing it on the last one turns the middle green.
  MoveTo(0);
  Type("{");
  MoveTo(Memo.document()->characterCount() - 1);
  Type("}");
  EXPECT_EQ(Formats(0), TFormats{"{x=" + Green});
  EXPECT_EQ(Formats(1), TFormats{"if a then=" + Green});
  EXPECT_EQ(Formats(2), TFormats{"b}=" + Green});
  // Taking the "{" away again leaves no stale colour anywhere.
  MoveTo(1);
  QTest::keyClick(&Memo, Qt::Key_Backspace);
  EXPECT_EQ(Formats(0), TFormats{});
  EXPECT_EQ(Formats(1), (TFormats{"if=" + Navy, "then=" + Navy}));
  EXPECT_EQ(Formats(2), TFormats{});
}

TEST_F(ColMemoTest, ColouringIsNoEditOfTheText) {
  int Changes = 0;
  Memo.OnChange = [&](TColorMemo* Sender) {
    EXPECT_EQ(Sender, &Memo);
    ++Changes;
  };
  Memo.setPlainText("if a then {b}");
  QCoreApplication::processEvents();
  EXPECT_EQ(Changes, 1);
  EXPECT_FALSE(Formats(0).empty());
  EXPECT_FALSE(Memo.document()->isUndoAvailable());
  EXPECT_FALSE(Memo.document()->isModified());
  Memo.moveCursor(QTextCursor::End);
  Type("x");
  EXPECT_EQ(Changes, 2);
  Memo.undo();
  QCoreApplication::processEvents();
  EXPECT_EQ(Memo.toPlainText(), "if a then {b}");
  EXPECT_FALSE(Memo.document()->isUndoAvailable());
  EXPECT_EQ(Formats(0), (TFormats{"if=" + Navy, "then=" + Navy, "{b}=" + Green}));
}

TEST_F(ColMemoTest, LinesComingIntoViewAreColoured) {
  QStringList Lines;
  for (int I = 0; I < 300; ++I) Lines << QString("if x%1 then").arg(I);
  Memo.setPlainText(Lines.join("\n"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(Formats(0).empty());
  EXPECT_TRUE(Formats(299).empty());  // out of view: not coloured yet
  int Scrolls = 0;
  Memo.OnVScroll = [&](TColorMemo*) { ++Scrolls; };
  Memo.verticalScrollBar()->setValue(Memo.verticalScrollBar()->maximum());
  QCoreApplication::processEvents();
  EXPECT_GE(Scrolls, 1);
  EXPECT_EQ(Formats(299), (TFormats{"if=" + Navy, "then=" + Navy}));
}

TEST_F(ColMemoTest, ACommentOpenedAboveTheViewIsFoundWithTheKeyHeight) {
  QStringList Lines;
  for (int I = 0; I < 100; ++I) Lines << "if";
  Lines[40] = "{";
  Lines[44] = "}";
  Memo.setPlainText(Lines.join("\n"));
  QCoreApplication::processEvents();
  Memo.verticalScrollBar()->setValue(42);
  QCoreApplication::processEvents();
  ASSERT_EQ(Memo.cursorForPosition(QPoint(2, 2)).blockNumber(), 42);
  EXPECT_EQ(Formats(43), TFormats{"if=" + Navy});
  Memo.ColorRules().Items(3).SetKeyMaxHeight(5);
  EXPECT_EQ(Formats(43), TFormats{"if=" + Green});
  EXPECT_EQ(Formats(44), TFormats{"}=" + Green});
}

TEST_F(ColMemoTest, HotSpotsShowTheirMarkersAsBlocksAndTheTextUnderlined) {
  THotSpot Spot = Memo.HotSpot();
  Spot.Active = true;
  Spot.MarkerColor = clYellow;
  Memo.SetHotSpot(Spot);
  Memo.setPlainText(ToQString("go to \x1E" "Berlin\x1F now"));
  QCoreApplication::processEvents();
  EXPECT_EQ(Formats(0), (TFormats{"\x1E=#ffff00/bg #ffff00", "Berlin=#0000ff+u", "\x1F=#ffff00/bg #ffff00"}));
  Spot.Underlined = false;
  Memo.SetHotSpot(Spot);
  EXPECT_EQ(Formats(0)[1], "Berlin=#0000ff");
  GrabToPng(Memo);
}

TEST_F(ColMemoTest, ClickingAHotSpotGivesItsText) {
  THotSpot Spot = Memo.HotSpot();
  Spot.Active = true;
  Memo.SetHotSpot(Spot);
  Memo.setPlainText(ToQString("go to \x1E" "Berlin\x1F now"));
  QCoreApplication::processEvents();
  std::vector<std::string> Clicked;
  Memo.OnHotSpotClick = [&](TColorMemo* Sender, const std::string& Text) {
    EXPECT_EQ(Sender, &Memo);
    Clicked.push_back(Text);
  };
  QWidget* View = Memo.viewport();
  QTest::mouseMove(View, CentreOf(9));
  EXPECT_TRUE(Memo.OverHotSpot());
  EXPECT_EQ(View->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(View, Qt::LeftButton, {}, CentreOf(9));
  EXPECT_EQ(Clicked, std::vector<std::string>{"Berlin"});
  QTest::mouseMove(View, CentreOf(1));
  EXPECT_FALSE(Memo.OverHotSpot());
  EXPECT_EQ(View->cursor().shape(), Qt::IBeamCursor);
  QTest::mouseClick(View, Qt::LeftButton, {}, CentreOf(1));
  EXPECT_EQ(Clicked.size(), 1u);
}

TEST_F(ColMemoTest, TheCharacterUnderAPoint) {
  Memo.setPlainText("abc\nsecond line");
  QCoreApplication::processEvents();
  for (int Position : {0, 2, 4, 9, 14}) EXPECT_EQ(Memo.CharFromPos(CentreOf(Position)), Position) << Position;
  // Right of a line's text: its end; below the text: the last line.
  EXPECT_EQ(Memo.CharFromPos(CentreOf(1) + QPoint(200, 0)), 3);
  EXPECT_EQ(Memo.CharFromPos(QPoint(CentreOf(4).x(), 190)), 4);
}

TEST_F(ColMemoTest, AMoveKeyWithASelectionGoesOnFromItsEnd) {
  Memo.setPlainText("abcdef");
  QTextCursor C = Memo.textCursor();
  C.setPosition(1);
  C.setPosition(4, QTextCursor::KeepAnchor);
  Memo.setTextCursor(C);
  QTest::keyClick(&Memo, Qt::Key_Left);
  EXPECT_FALSE(Memo.textCursor().hasSelection());
  EXPECT_EQ(Memo.textCursor().position(), 3);
  // With Shift the selection grows as usual.
  C.setPosition(1);
  C.setPosition(4, QTextCursor::KeepAnchor);
  Memo.setTextCursor(C);
  QTest::keyClick(&Memo, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Memo.textCursor().selectionStart(), 1);
  EXPECT_EQ(Memo.textCursor().selectionEnd(), 5);
}

TEST_F(ColMemoTest, TheSelectionIsLeftToTheEdit) {
  Memo.setPlainText("if a then");
  QTextCursor C = Memo.textCursor();
  C.setPosition(5);
  C.setPosition(7, QTextCursor::KeepAnchor);
  Memo.setTextCursor(C);
  QCoreApplication::processEvents();
  EXPECT_EQ(Formats(0), (TFormats{"if=" + Navy, "en=" + Navy}));
  C.clearSelection();
  Memo.setTextCursor(C);
  EXPECT_EQ(Formats(0), (TFormats{"if=" + Navy, "then=" + Navy}));
}

TEST_F(ColMemoTest, AKeywordGoesToOnDrawKeyInsteadOfItsColour) {
  std::vector<std::pair<std::string, QRect>> Drawn;
  Memo.OnDrawKey = [&](TColorMemo*, QPainter& Canvas, const std::string& Text, const QRect& Rect) {
    Drawn.emplace_back(Text, Rect);
    Canvas.fillRect(Rect, QColor(255, 200, 0));
  };
  Memo.setPlainText("x if 'y'");
  QCoreApplication::processEvents();
  EXPECT_EQ(Formats(0), TFormats{"'y'=" + Purple});
  Drawn.clear();
  const QImage Picture = GrabToPng(Memo);
  ASSERT_EQ(Drawn.size(), 1u);
  EXPECT_EQ(Drawn[0].first, "if");
  QTextCursor C(Memo.document());
  C.setPosition(2);
  EXPECT_EQ(Drawn[0].second.left(), Memo.cursorRect(C).left());
  EXPECT_EQ(Drawn[0].second.width(), Memo.fontMetrics().horizontalAdvance("if"));
  const QPoint Centre = Memo.viewport()->mapTo(&Memo, Drawn[0].second.center());
  EXPECT_EQ(Picture.pixelColor(Centre), QColor(255, 200, 0));
}

TEST_F(ColMemoTest, TheDrawEventGetsTheRangeStartAndTheRealLimit) {
  Memo.ColorRules().Clear();
  Memo.SetColorLimMax(2);
  TColorRule& Rule = Memo.ColorRules().Add();
  Rule.SetKeyDrawingType(dtEventDraw);
  int Limit = 0, Start = -1;
  Memo.OnDraw = [&](TColorMemo* Sender, TColorRule&, int RangeStart, std::span<TDrawKey> Table, int& Count, int L) {
    EXPECT_EQ(Sender, &Memo);
    Limit = L;
    Start = RangeStart;
    Table[0] = {1, 2, clRed, 0};
    Table[1] = {3, 3, clBlue, 0};
    Count = 5;  // more than the table holds: both entries count
  };
  Memo.setPlainText("abcd\nefgh");
  QCoreApplication::processEvents();
  EXPECT_EQ(Limit, 2);
  EXPECT_EQ(Start, 0);
  EXPECT_EQ(Formats(0), (TFormats{"bc=#ff0000", "d=#0000ff"}));
}

TEST_F(ColMemoTest, AFailingHandlerIsShownAndTheMemoGoesOn) {
  Memo.OnChange = [](TColorMemo*) { throw EConvertError("broken"); };
  Memo.setPlainText("if");
  QCoreApplication::processEvents();
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: broken"});
  EXPECT_EQ(Formats(0), TFormats{"if=" + Navy});
}

TEST_F(ColMemoTest, RulesGivenToAnotherMemoColourItAtOnce) {
  TColorMemo Other;
  Other.resize(200, 100);
  Other.setPlainText("if 'a' {b}");
  Other.show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(Other.Runs().empty());
  Other.SetColorRules(Memo.ColorRules());
  ASSERT_EQ(Other.ColorRules().Count(), 5);
  const QTextBlock Block = Other.document()->firstBlock();
  EXPECT_EQ(Block.layout()->formats().size(), 3);
  Other.ColorRules().Clear();
  EXPECT_TRUE(Block.layout()->formats().isEmpty());
}
