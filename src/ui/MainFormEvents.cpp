// The main window's handlers of the rules' happenings: the message and notice panels, the news,
// the storms, rockets and atomic blasts on the map with their sounds, the pending random event
// with its blinking button, the battle sounds' timer and the war's record kept by the news and
// score windows. What the texts say and when a line is told is decided in screens/WarNews.h.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/TransparentGlyph.h"
#include "engine/BrenmoorEngine.h"
#include "engine/RealTimeEngine.h"
#include "foundation/Random.h"
#include "screens/WarNews.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"
#include "platform/ThreadTimer.h"
#include "sound/WaveMixer.h"
#include "sprites/ColorPalette.h"
#include "sprites/SpriteEngine.h"
#include "sprites/StormSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/BuildUnitForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/DivideUnitForm.h"
#include "ui/EventForm.h"
#include "ui/FinalScoresForm.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/NewsForm.h"
#include "ui/ScoresForm.h"

namespace {

// The notice panel's distance from the game screen's bottom.
constexpr int NotifyAboveBottom = 66;
const QColor Grey(128, 128, 128);  // 8421504

// A panel of one line of text over the map with a small button at its right end that hides it.
class TNoticePanel : public QLabel {
public:
  TNoticePanel(QWidget* Parent, const char* HideName, std::function<void()> Hide) : QLabel(Parent) {
    FHide = new TColorButton(this);
    FHide->setObjectName(HideName);
    FHide->SetCaption("x");
    FHide->SetColor(QColor(0, 64, 0));
    FHide->SetFontColor(QColor(0, 255, 0));
    FHide->OnClick = [Hide = std::move(Hide)](TGraphicControl*) { Hide(); };
  }

protected:
  void resizeEvent(QResizeEvent* Event) override {
    QLabel::resizeEvent(Event);
    FHide->setGeometry(width() - 18, 3, 15, std::max(height() - 6, 1));
  }

private:
  TColorButton* FHide;
};

QLabel* MakeNoticePanel(QWidget* Parent, const char* Name, const char* HideName, const QRect& Bounds,
                        std::function<void()> Hide) {
  auto* Panel = new TNoticePanel(Parent, HideName, std::move(Hide));
  Panel->setObjectName(Name);
  Panel->setGeometry(Bounds);
  Panel->setAutoFillBackground(true);
  Panel->setAlignment(Qt::AlignCenter);
  Panel->setFont(GameFont("Arial", 12, true));
  Panel->setFrameShape(QFrame::Box);
  QPalette Colors = Panel->palette();
  Colors.setColor(QPalette::Window, Qt::black);
  Panel->setPalette(Colors);
  Panel->hide();
  return Panel;
}

void ShowPanel(QLabel* Panel, const std::string& Text, std::uint32_t Color) {
  QPalette Colors = Panel->palette();
  Colors.setColor(QPalette::WindowText, QColorOfValue(Color));
  Panel->setPalette(Colors);
  Panel->setText(ToQString(Text));
  Panel->show();
  Panel->raise();
}

// Keeps a widget's resize told after the elastic panel has laid its children out.
class TResizeWatch : public QObject {
public:
  TResizeWatch(QObject* Parent, std::function<void()> Resized) : QObject(Parent), FResized(std::move(Resized)) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Resize)
      QTimer::singleShot(0, this, [this] { RunGuarded([this] { FResized(); }); });
    return QObject::eventFilter(Watched, Event);
  }

private:
  std::function<void()> FResized;
};

// A storm of the rules as a storm sprite among the map's effects, carrying the storm.
void AddStormSprite(TStormSpriteFactory& Factory, TSpriteEngine& Effects, TStorm* Storm) {
  Factory.SetStormWidth(Storm->Width);
  Factory.SetStormHeight(Storm->Height);
  Factory.SetStormType(static_cast<TStormType>(Storm->StormType));
  Factory.SetParticles(Storm->Width * Storm->Height / 500);
  std::unique_ptr<TSprite> Sprite = Factory.CreateSprite();
  Sprite->SetX(static_cast<float>(Storm->X));
  Sprite->SetY(static_cast<float>(Storm->Y));
  Sprite->SetData(Storm);
  Effects.AddSprite(std::move(Sprite));
}

// The living sprite of the storm (nullptr when it has none).
TSprite* StormSprite(TSpriteEngine& Effects, const TStorm* Storm) {
  for (std::int32_t I = 0; I < Effects.SpriteCount(); ++I)
    if (TSprite* Sprite = Effects.GetSprite(I); Sprite->GetData() == Storm && !Sprite->GetDead()) return Sprite;
  return nullptr;
}

void MoveStormSprite(TSpriteEngine& Effects, const TStorm* Storm) {
  if (TSprite* Sprite = StormSprite(Effects, Storm)) {
    Sprite->SetX(static_cast<float>(Storm->X));
    Sprite->SetY(static_cast<float>(Storm->Y));
  }
}

void RemoveStormSprite(TSpriteEngine& Effects, const TStorm* Storm) {
  if (TSprite* Sprite = StormSprite(Effects, Storm)) {
    // The storm is freed after this: the sprite, gone at the next move pass, forgets it.
    Sprite->SetData(nullptr);
    Effects.QueueKill(Sprite);
  }
}

}  // namespace

// --- The panels ---

void TfrmMain::CreateNoticePanels(TElasticPanel* Game) {
  FMessage = MakeNoticePanel(Game, "pnlMessage", "btnHideMessage", {66, 32, 380, 24}, [this] { FMessage->hide(); });
  FNotify = MakeNoticePanel(Game, "pnlNotify", "btnHideNotify", {66, Game->height() - NotifyAboveBottom, 380, 24},
                            [this] { FNotify->hide(); });
  // The notice panel keeps its place above the game screen's bottom.
  Game->installEventFilter(
      new TResizeWatch(Game, [this] { FNotify->move(FNotify->x(), FGame->height() - NotifyAboveBottom); }));
  // The pending random event's button, shown when the rules raise one.
  FRandomEventButton = MakeButton(findChild<QWidget*>("pnlToolbar"), "btnRandomEvent", "", {600, 1, 30, 26});
  FRandomEventButton->setToolTip("A random event has occurred");
  const QImage Glyph = LoadArt("btnRandomEvent");
  if (Glyph.isNull())
    FRandomEventButton->SetCaption("!");
  else
    FRandomEventButton->SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(Glyph)));
  FRandomEventButton->OnClick = [this](TGraphicControl*) { btnRandomEventClick(); };
  FRandomEventButton->hide();
  FTimerExplosions->OnTimer = [this](TThreadedTimer*) { timerExplosionsTimer(); };
}

void TfrmMain::ShowMessagePanel(const std::string& Text, std::uint32_t Color) { ShowPanel(FMessage, Text, Color); }
void TfrmMain::ShowNotify(const std::string& Text, std::uint32_t Color) { ShowPanel(FNotify, Text, Color); }

// --- The war's windows ---

TfrmNews* TfrmMain::NewsWindow() const { return FForms ? &FForms->News() : nullptr; }
TfrmScores* TfrmMain::ScoresWindow() const {
  return FForms ? &FForms->Scores() : nullptr;
}

void TfrmMain::ConnectWarWindows() {
  if (TfrmNews* News = NewsWindow()) {
    News->SetEngine(FEngine.get());
    News->OnCenterZone = [this](std::int32_t Zone) {
      if (Zone >= 0 && Zone < FEngine->GetZoneCount()) FSurface->CenterOnZone(FEngine->GetZone(Zone));
    };
  }
  if (TfrmScores* Scores = ScoresWindow()) Scores->SetPalette(FPalette.get());
  FForms->FinalScores().SetCellFlags(FControls.Flags);
}

void TfrmMain::AddScorePoint() {
  if (TfrmScores* Scores = ScoresWindow()) Scores->AddScorePoint(*FEngine);
}

void TfrmMain::ClearWarRecord() {
  if (TfrmScores* Scores = ScoresWindow()) Scores->Clear();
  if (TfrmNews* News = NewsWindow(); News && News->News()) News->News()->ClearNews();
}

void TfrmMain::ExpireStandingActions() {
  if (TfrmNews* News = NewsWindow(); News && News->News()) News->News()->ExpireStandingActions();
}

// --- The rules' happenings ---

void TfrmMain::TellNotice(const TWarNotice& Notice, TBrenmoorZone* NewsZone) {
  if (Notice.News)
    if (TfrmNews* News = NewsWindow(); News && News->News()) News->News()->AddMessage(Notice.Text, NewsZone);
  if (Notice.Panel == npMessage) ShowMessagePanel(Notice.Text, Notice.Color);
  if (Notice.Panel == npNotify) ShowNotify(Notice.Text, Notice.Color);
}

void TfrmMain::WireWarEvents() {
  TBrenmoorEngine& E = *FEngine;
  // The news window's item of a nation and a zone.
  auto NewsOf = [this](void (TWarNews::*Add)(const TNation*, const TBrenmoorZone*)) {
    return [this, Add](TBrenmoorEngine*, TNation* Nation, TBrenmoorZone* Zone) {
      if (TfrmNews* News = NewsWindow(); News && News->News()) (News->News()->*Add)(Nation, Zone);
    };
  };
  E.OnCreateStorm = [this](TBrenmoorEngine*, TStorm* Storm) { AddStormSprite(*FStormFactory, *FEffects, Storm); };
  E.OnMoveStorm = [this](TBrenmoorEngine*, TStorm* Storm) { MoveStormSprite(*FEffects, Storm); };
  E.OnRemoveStorm = [this](TBrenmoorEngine*, TStorm* Storm) { RemoveStormSprite(*FEffects, Storm); };
  E.OnConquerZone = [this](TBrenmoorEngine*, TNation* Nation, TBrenmoorZone* Zone) {
    if (TfrmNews* News = NewsWindow(); News && News->News()) {
      if (Zone->GetOwner() != Zone->GetOriginalOwner())
        News->News()->AddConquest(Nation, Zone);
      else
        News->News()->AddLiberation(Zone);
    }
    // The build window of a zone that changed hands is cancelled.
    if (FForms && Zone == FSelectedZone)
      if (TfrmBuildUnit& Build = FForms->BuildUnit(); Build.isVisible()) Build.reject();
  };
  E.OnInvadeZone = NewsOf(&TWarNews::AddInvasion);
  E.OnAirStrikeZone = NewsOf(&TWarNews::AddAirStrike);
  E.OnBombardZone = NewsOf(&TWarNews::AddBombardment);
  E.OnBombZone = NewsOf(&TWarNews::AddBombingRaid);
  E.OnRocketAttack = [this](TBrenmoorEngine*, TNation* Nation, TBrenmoorZone* Zone) {
    if (TfrmNews* News = NewsWindow(); News && News->News()) News->News()->AddRocketAttack(Nation, Zone);
    TRandomGenerator& Random = EffectsRandom();
    const int DX = Random.Random(6) - 3;
    const int DY = Random.Random(6) - 3;
    AddBlast(bkBombs, Zone, DX, DY, 0);
    PlaySoundIfEnabled(Sound("sndRockets"));
  };
  E.OnAtomicBomb = [this](TBrenmoorEngine*, TNation* Nation, TBrenmoorZone* Zone) {
    AddBlast(bkAtomic1, Zone, 0, 0, 1);
    AddBlast(bkAtomic2, Zone, 0, 0, 2);
    AddBlast(bkAtomic3, Zone, 0, 0, 3);
    PlaySoundIfEnabled(Sound("sndAtomic"));
    TellNotice(AtomicBombNotice(*Nation, Zone->GetName()), Zone);
  };
  E.OnReinforcement = [this](TBrenmoorEngine*, TZone* Zone) { TellNotice(ReinforcementNotice(Zone->GetName()), nullptr); };
  E.OnUpgradeUnitType = [this](TBrenmoorEngine*, TNation* Nation, TUnitType Type) {
    TellNotice(UnitTypeUpgradeNotice(*Nation, Type), nullptr);
  };
  E.OnUpgradeTech = [this](TBrenmoorEngine*, TNation* Nation, int Group) {
    TellNotice(TechUpgradeNotice(*Nation, Group), nullptr);
  };
  E.OnDeclareAllies = [this](TBrenmoorEngine*, TNation* A, TNation* B) { TellNotice(AlliesNotice(*A, *B), A->GetCapital()); };
  E.OnDeclareWar = [this](TBrenmoorEngine*, TNation* A, TNation* B) { TellNotice(WarNotice(*A, *B), A->GetCapital()); };
  E.OnAlliance = [this](TBrenmoorEngine*, TNation* Nation) { TellNotice(AllianceNotice(*Nation), Nation->GetCapital()); };
  E.OnExileGovt = [this](TBrenmoorEngine*, TNation* Nation, TNation* Host) {
    TellNotice(ExileNotice(*Nation, *Host), Nation->GetCapital());
  };
  E.OnCoup = [this](TBrenmoorEngine*, TNation* Nation) { TellNotice(CoupNotice(*Nation), Nation->GetCapital()); };
  E.OnDiplomacy = [this](TBrenmoorEngine*, TNation* Actor, TNation* Target, int Outcome) {
    TellNotice(DiplomacyNotice(*Actor, Outcome, *Target), Actor->GetCapital());
  };
  E.OnConquerNation = [this](TBrenmoorEngine*, TNation* Conquered, TNation* Conqueror) {
    if (FForms)
      FForms->Diplomacy().SelectNation(Conquered);
    TellNotice(ConquestNotice(*Conquered, *Conqueror), Conquered->GetCapital());
    // A nation played here that is gone can no longer be chosen.
    const auto It = std::find(FLocalNations.begin(), FLocalNations.end(), Conquered);
    if (It == FLocalNations.end()) return;
    std::vector<TNation*> Left = FLocalNations;
    Left.erase(Left.begin() + (It - FLocalNations.begin()));
    SetLocalNations(Left);
    if (Left.empty()) {
      FCurrentNation = nullptr;
      return;
    }
    FControls.CurrentNation->setCurrentIndex(0);
    cmbCurrentNationClick(0);
  };
  E.OnRandomEvent = [this](TBrenmoorEngine*, TRandomEvent* Event) {
    if (FForms)
      if (TfrmEvent& EventWindow = FForms->Event(); EventWindow.isVisible()) EventWindow.reject();
    FPendingRandomEvent = Event;
    FRandomEventNotice = rnUnread;
    FRandomEventButton->show();
  };
  E.OnRemoveUnit = [this](TBrenmoorEngine*, TUnit* Unit) { brmRemoveUnit(Unit); };
}

void TfrmMain::AddBlast(TBlastKind Kind, const TBrenmoorZone* Zone, int DX, int DY, int Z) {
  std::unique_ptr<TSprite> Blast = BlastFactory(Kind).CreateSprite();
  Blast->SetX(static_cast<float>(Zone->GetCenterX() + DX));
  Blast->SetY(static_cast<float>(Zone->GetCenterY() + DY));
  Blast->SetZ(Z);
  FEffects->AddSprite(std::move(Blast));
}

void TfrmMain::btnRandomEventClick() {
  if (FRandomEventNotice == rnUnread) FRandomEventNotice = rnRead;
  TfrmEvent* EventWindow = FForms ? &FForms->Event() : nullptr;
  if (EventWindow && FPendingRandomEvent) {
    const QString Picture = FPendingRandomEvent->Picture.empty()
                                ? QString()
                                : QDir(QCoreApplication::applicationDirPath()).filePath(ToQString(FPendingRandomEvent->Picture));
    EventWindow->ShowRandomEvent(*FPendingRandomEvent, Picture);
    EventWindow->exec();
  }
  FRandomEventButton->SetColorHighlight(Qt::black);
  FRandomEventButton->SetColorShadow(Grey);
}

// --- The battle sounds ---

void TfrmMain::timerExplosionsTimer() {
  if (!FClock || !FClock->GetActive()) return;
  TRandomGenerator& Random = EffectsRandom();
  if (FZonesUnderAttack > 0) {
    if (TSoundBuffer* Explosion = Sound("sndExplosion")) {
      Explosion->SetFrequencyPct(Random.Random(40) + 40);
      Explosion->SetPanning(static_cast<std::int16_t>(Random.Random(10000) - 5000));
      PlaySoundIfEnabled(Explosion);
    }
    FTimerExplosions->SetInterval(ExplosionInterval(FZonesUnderAttack, Random));
  }
  if (FRandomEventNotice == rnUnread) {
    if (FRandomEventButton->ColorHighlight() != QColor(Qt::black)) {
      FRandomEventButton->SetColorHighlight(Qt::black);
      FRandomEventButton->SetColorShadow(Grey);
    } else {
      FRandomEventButton->SetColorHighlight(Qt::yellow);
      FRandomEventButton->SetColorShadow(Qt::yellow);
    }
  }
}
