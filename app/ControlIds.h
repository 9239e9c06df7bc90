// Control and command ids of the main window, published for test tools and screen readers:
// every control that shows text is a child window with the id below, readable with
// WM_GETTEXT. Indexed controls take the id of index 0 plus the index. Portable.
#pragma once

namespace pelmora {

// Status strip and button strip.
constexpr int IDC_Panel1 = 1000;
constexpr int IDC_GPSStatusLight = 1001;
constexpr int IDC_lblGPSStatus = 1002;
constexpr int IDC_Panel2 = 1010;
constexpr int IDC_lblComStatus = 1011;
constexpr int IDC_lblMode = 1012;
constexpr int IDC_SimulatePauseButton = 1013;
constexpr int IDC_OptionsViewButton = 1014;

// View 0: GPS information.
constexpr int IDC_GPSInfoViewFrame = 1100;
constexpr int IDC_lblLatitudeText = 1101;
constexpr int IDC_lblLatitude = 1102;
constexpr int IDC_lblLongitudeText = 1103;
constexpr int IDC_lblLongitude = 1104;
constexpr int IDC_lblAltitudeText = 1105;
constexpr int IDC_lblAltitude = 1106;
constexpr int IDC_lblSpeedText = 1107;
constexpr int IDC_lblSpeed = 1108;
constexpr int IDC_lblHeadingText = 1109;
constexpr int IDC_lblHeading = 1110;
constexpr int IDC_lblTimeText = 1111;
constexpr int IDC_lblTime = 1112;

// View 1: satellite signal strengths.
constexpr int IDC_SatStrengthViewFrame = 1200;
constexpr int IDC_lblSatSignalStatus = 1201;
constexpr int IDC_SignalBarIndeX0 = 1210;  // .. 1221
constexpr int IDC_SignalSatIndeX0 = 1230;  // .. 1241
constexpr int IDC_GridLine0 = 1250;        // .. 1254

// View 2: satellite configuration.
constexpr int IDC_SatConfigViewFrame = 1300;
constexpr int IDC_lblSatConfigStatus = 1301;
constexpr int IDC_ConfigSatIndeX0 = 1310;  // .. 1321
constexpr int IDC_SkyCircle60 = 1330;
constexpr int IDC_SkyCircle40 = 1331;
constexpr int IDC_SkyCircle20 = 1332;
constexpr int IDC_SkyHorizontal = 1333;
constexpr int IDC_SkyVertical = 1334;
constexpr int IDC_lblNorth = 1335;
constexpr int IDC_lblSouth = 1336;
constexpr int IDC_lblEast = 1337;
constexpr int IDC_lblWest = 1338;
constexpr int IDC_Frame3D1 = 1340;
constexpr int IDC_lblPdopPoor = 1341;
constexpr int IDC_lblPdopGood = 1342;
constexpr int IDC_PdopValueBox = 1343;
constexpr int IDC_lblPDOP = 1344;
constexpr int IDC_FloodBarPanel = 1345;
constexpr int IDC_FloodBarBadPanel = 1346;
constexpr int IDC_FloodBarGoodPanel = 1347;

// Below the client area: the first line of the last macro command received.
constexpr int IDC_TestLabel = 1400;

// The workbench window ("Pelmora Workbench"): its tabs, the satellite table, the per-system
// counts (GPS, GLONASS, Galileo, BeiDou, QZSS, SBAS, NavIC), the statistics (samples, excluded,
// duration, mean position, sigma E/N/U, CEP50, CEP95, 2DRMS, vertical 95 %) and the outages. Each
// value is a static of its own; its caption is the static with the value's id + 100.
constexpr int IDC_WorkbenchTabs = 1500;
constexpr int IDC_WorkbenchSatList = 1501;
constexpr int IDC_WorkbenchOutageList = 1502;
constexpr int IDC_WorkbenchCount0 = 1510;  // .. 1516
constexpr int IDC_WorkbenchStat0 = 1530;   // .. 1540
constexpr int kWorkbenchCaptionOffset = 100;
// The Satellites tab's graphs: a filter checkbox per system (GPS, GLONASS, Galileo, BeiDou,
// QZSS, SBAS, NavIC) with its symbol before it, the signal bars and the sky plot.
constexpr int IDC_WorkbenchSatFilter0 = 1550;  // .. 1556
constexpr int IDC_WorkbenchSatKey0 = 1557;     // .. 1563
constexpr int IDC_WorkbenchSatBars = 1564;
constexpr int IDC_WorkbenchSkyPlot = 1565;
// The workbench's History tab: the chart window's caption and its choice (a drop-down list of
// "1 min" ... "24 h"), and the strip charts (a graph named "History charts").
constexpr int IDC_WorkbenchHistoryWindowText = 1600;
constexpr int IDC_WorkbenchHistoryWindow = 1601;
constexpr int IDC_WorkbenchHistoryCharts = 1602;

// The Accuracy tab: the reference (combo box) and the surveyed mark's fields with Apply; the
// session's Start, Stop and Reset with its state; the quality gates (minimum fix combo box,
// maximum PDOP and minimum satellites edits); the message naming a field that does not parse; the
// scatter and height strip graphs; the fields' captions (statics).
constexpr int IDC_WorkbenchReference = 1570;
constexpr int IDC_WorkbenchMarkLatitude = 1571;
constexpr int IDC_WorkbenchMarkLongitude = 1572;
constexpr int IDC_WorkbenchMarkHeight = 1573;
constexpr int IDC_WorkbenchApply = 1574;
constexpr int IDC_WorkbenchStart = 1575;
constexpr int IDC_WorkbenchStop = 1576;
constexpr int IDC_WorkbenchReset = 1577;
constexpr int IDC_WorkbenchSessionState = 1578;
constexpr int IDC_WorkbenchMinFix = 1579;
constexpr int IDC_WorkbenchMaxPdop = 1580;
constexpr int IDC_WorkbenchMinSats = 1581;
constexpr int IDC_WorkbenchAccuracyMessage = 1582;
constexpr int IDC_WorkbenchScatter = 1583;
constexpr int IDC_WorkbenchHeightStrip = 1584;
constexpr int IDC_WorkbenchAccuracyCaption0 = 1590;  // .. 1596

// The workbench's Messages tab: the console of received messages (time received, type, status,
// text), its Pause check box, the type filter with its caption, and the counts.
constexpr int IDC_WorkbenchMsgList = 1620;
constexpr int IDC_WorkbenchMsgPause = 1621;
constexpr int IDC_WorkbenchMsgTypeCaption = 1622;
constexpr int IDC_WorkbenchMsgType = 1623;
constexpr int IDC_WorkbenchMsgCounts = 1624;

// The workbench's player bar, shown while a log replays: the track bar over the epochs indexed,
// the current receiver time and the log's first and last, back, play/pause, step and the speed.
// (1640 is the caption of the last statistic: IDC_WorkbenchStat0 + 10 + kWorkbenchCaptionOffset.)
constexpr int IDC_PlayerBarTrack = 1641;
constexpr int IDC_PlayerBarTime = 1642;
constexpr int IDC_PlayerBarSpan = 1643;
constexpr int IDC_PlayerBarBack = 1644;
constexpr int IDC_PlayerBarPlay = 1645;
constexpr int IDC_PlayerBarStep = 1646;
constexpr int IDC_PlayerBarSpeed = 1647;

// Menu commands.
constexpr int IDM_FileOff = 40001;
constexpr int IDM_FileLive = 40002;
constexpr int IDM_FileSimulated = 40003;
constexpr int IDM_FileRecord = 40004;
constexpr int IDM_FileExit = 40005;
constexpr int IDM_OptionsConnectServer = 40011;
constexpr int IDM_OptionsGPSSettings = 40012;
constexpr int IDM_OptionsViewGPSInfo = 40013;
constexpr int IDM_OptionsViewStrength = 40014;
constexpr int IDM_OptionsViewConfig = 40015;
constexpr int IDM_OptionsPreferences = 40016;
constexpr int IDM_OptionsShareFix = 40017;   // "Share Fix on &Network"
constexpr int IDM_OptionsWorkbench = 40018;  // "&Workbench...", Ctrl+W
constexpr int IDM_HelpContents = 40021;
constexpr int IDM_HalvornontheWebMenuItem = 40022;
constexpr int IDM_DownloadsMenuItem = 40023;
constexpr int IDM_OnlineSupportMenuItem = 40024;
constexpr int IDM_OnlineDiscussionGroupMenuItem = 40025;
constexpr int IDM_HelpAbout = 40026;
// F12 with any modifiers: next view (no menu item).
constexpr int IDM_NextView = 40030;
constexpr int IDM_FileExport = 40031;  // "&Export..."
// The replay player's keys (no menu items): Ctrl with the arrows, Home and End.
constexpr int IDM_PlayerStep = 40032;       // Ctrl+Right
constexpr int IDM_PlayerBack = 40033;       // Ctrl+Left
constexpr int IDM_PlayerSeekStart = 40034;  // Ctrl+Home
constexpr int IDM_PlayerSeekEnd = 40035;    // Ctrl+End
constexpr int IDM_PlayerFaster = 40036;     // Ctrl+Up
constexpr int IDM_PlayerSlower = 40037;     // Ctrl+Down

// Ctrl + virtual key for each player command.
struct CtrlKey {
  int virtualKey;
  int commandId;
};
inline constexpr CtrlKey kPlayerKeys[] = {
    {0x27, IDM_PlayerStep},       // VK_RIGHT
    {0x25, IDM_PlayerBack},       // VK_LEFT
    {0x24, IDM_PlayerSeekStart},  // VK_HOME
    {0x23, IDM_PlayerSeekEnd},    // VK_END
    {0x26, IDM_PlayerFaster},     // VK_UP
    {0x28, IDM_PlayerSlower},     // VK_DOWN
};

}  // namespace pelmora
