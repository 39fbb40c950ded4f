#include "ui/GameScreenControls.h"

#include <QComboBox>
#include <QLabel>
#include <string>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "foundation/Exception.h"

namespace {

template <typename T>
T* Control(const QWidget& Parent, const char* Name) {
  T* Found = Parent.findChild<T*>(Name);
  if (!Found) throw EBrenmoor("The game screen has no control " + std::string(Name));
  return Found;
}

}  // namespace

TGameScreenControls TGameScreenControls::Find(const QWidget& Game, const QWidget& Artwork,
                                              const std::array<const char*, 4>& SwitchNames) {
  TGameScreenControls C;
  C.Date = Control<QLabel>(Game, "lblDate");
  C.Toolbar = Control<QWidget>(Game, "pnlToolbar");
  C.News = Control<TColorButton>(Game, "btnNews");
  C.Research = Control<TColorButton>(Game, "btnResearch");
  C.Diplomacy = Control<TColorButton>(Game, "btnDiplomacy");
  C.Formations = Control<TColorButton>(Game, "btnFormations");
  C.Communicate = Control<TColorButton>(Game, "btnCommunicate");
  C.Pause = Control<TColorButton>(Game, "btnPause");
  C.Surrender = Control<TColorButton>(Game, "btnSurrender");
  C.FastAIDuel = Control<TColorButton>(Game, "btnFastAIDuel");
  C.FinalScore = Control<TColorButton>(Game, "btnFinalScore");
  C.Pages = Control<QWidget>(Game, "pageControls");
  C.CurrentNation = Control<QComboBox>(Game, "cmbCurrentNation");
  const char* const NationNames[] = {"imPlayerFlag",      "lblNationResources", "lblNationScore",
                                     "imNationResources", "imNationValue",      "cmbCurrentNation"};
  for (std::size_t I = 0; I < C.NationControls.size(); ++I) C.NationControls[I] = Control<QWidget>(Game, NationNames[I]);
  for (std::size_t I = 0; I < C.Switches.size(); ++I) C.Switches[I] = Control<TColorButton>(Game, SwitchNames[I]);
  C.Flags = Control<TCellImage>(Artwork, "cellFlags");
  return C;
}
