#pragma once
// The game screen's toolbar and status bar as the rest of the main window reaches them: the
// buttons and labels that change while a game runs, each held once where it is made, and the
// pictures of the artwork they show.
#include <QImage>
#include <QString>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QWidget;
class TCellImage;
class TColorButton;
class TElasticPanel;

struct TGameBars {
  // The toolbar's buttons that change while a game runs.
  TColorButton* Diplomacy = nullptr;
  TColorButton* ShowOrders = nullptr;
  // The status bar: the current nation's flag, its choice, resources and score; the date; the
  // selected zone's flag and name.
  TElasticPanel* StatusBar = nullptr;
  QLabel* PlayerFlag = nullptr;
  QComboBox* Nations = nullptr;
  QLabel* ResourcesPicture = nullptr;
  QLabel* Resources = nullptr;
  QLabel* Score = nullptr;
  QLabel* Date = nullptr;
  QLabel* ZoneFlag = nullptr;
  QLabel* ZoneName = nullptr;
  // The artwork's pictures: the nations' flags (the scenario's, once loaded) and the
  // diplomacy button's pictures of the actions left (nullptr where missing).
  TCellImage* Flags = nullptr;
  std::array<QLabel*, 4> DiplomacyPictures{};
  QLabel* GreenBullet = nullptr;

  // The status bar on Game, along its bottom; LoadArt loads a picture of the artwork.
  void MakeStatusBar(TElasticPanel& Game, const std::function<QImage(const QString&)>& LoadArt);
  // The pictures of the hidden artwork panel, looked up once after it is made.
  void TakeArtwork(const QWidget& Artwork);
};
