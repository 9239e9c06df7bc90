// Control ids of the settings dialogs, published for test tools and screen readers: every
// control is a child window with the id below, readable with WM_GETTEXT (a spin edit's arrows
// are the up-down window beside it, without an id). Indexed controls take the id of index 0
// plus the index. Portable.
#pragma once

namespace pelmora {

// "Set GPS Receiver Options"
constexpr int IDC_MessageTypeFrame = 2100;
constexpr int IDC_GPSTypeList = 2101;
constexpr int IDC_GPSReceiverSettings = 2102;
constexpr int IDC_ComPortFrame = 2103;
constexpr int IDC_ComPortList = 2104;
constexpr int IDC_BaudRateFrame = 2105;
constexpr int IDC_BaudRateList = 2106;
constexpr int IDC_ParityFrame = 2107;
constexpr int IDC_ParityOptionIndeX0 = 2110;  // .. 2112
constexpr int IDC_DataBitsFrame = 2113;
constexpr int IDC_DataBitsOptionIndeX7 = 2114;
constexpr int IDC_DataBitsOptionIndeX8 = 2115;
constexpr int IDC_StopBitsFrame = 2116;
constexpr int IDC_StopBitsOptionIndeX0 = 2117;  // .. 2118
constexpr int IDC_GPSSettings_Ok = 2120;
constexpr int IDC_GPSSettings_Cancel = 2121;
constexpr int IDC_GPSSettings_Help = 2122;

// "NMEA GPS Receiver Settings"
constexpr int IDC_NMEA_ElevRefFrame = 2200;
constexpr int IDC_NMEA_ElevRefOptionIndeX0 = 2201;  // .. 2202
constexpr int IDC_NMEA_GroupBox1 = 2203;
constexpr int IDC_NMEA_Label1 = 2204;
constexpr int IDC_SettingsFilename = 2205;
constexpr int IDC_BrowseSettingsFile = 2206;
constexpr int IDC_NMEA_Ok = 2210;
constexpr int IDC_NMEA_Cancel = 2211;
constexpr int IDC_NMEA_Help = 2212;

// "Trimble TSIP GPS Receiver Settings"
constexpr int IDC_TSIP_GroupBox2 = 2300;
constexpr int IDC_ModeOptionIndeX0 = 2301;  // .. 2303
constexpr int IDC_TSIP_Label1 = 2304;
constexpr int IDC_AltEdit = 2305;
constexpr int IDC_TSIP_Label2 = 2306;
constexpr int IDC_PDOPSwitchEdit = 2307;
constexpr int IDC_TSIP_GroupBox1 = 2310;
constexpr int IDC_DynamicsOptionIndeX0 = 2311;  // .. 2314
constexpr int IDC_TSIP_GroupBox3 = 2320;
constexpr int IDC_TrackModeOptionIndeX0 = 2321;  // .. 2322
constexpr int IDC_TSIP_GroupBox5 = 2330;
constexpr int IDC_TSIP_Label3 = 2331;
constexpr int IDC_ElevEdit = 2332;
constexpr int IDC_TSIP_Label4 = 2333;
constexpr int IDC_SignalEdit = 2334;
constexpr int IDC_TSIP_Label5 = 2335;
constexpr int IDC_PDOPEdit = 2336;
constexpr int IDC_TSIP_GroupBox4 = 2340;
constexpr int IDC_TSIP_ElevRefOptionIndeX0 = 2341;  // .. 2342
constexpr int IDC_OKBtn = 2350;
constexpr int IDC_CancelBtn = 2351;
constexpr int IDC_BitBtn1 = 2352;

// "Set Preferences"
constexpr int IDC_IntervalFrame = 2400;
constexpr int IDC_lblSeconds = 2401;
constexpr int IDC_IntervalList = 2402;
constexpr int IDC_BeepOption = 2403;
constexpr int IDC_DisplayFormatFrame = 2410;
constexpr int IDC_GeoFormatList = 2411;
constexpr int IDC_DecPlacesLbl = 2412;
constexpr int IDC_PrecisionList = 2413;
constexpr int IDC_TimeFrame = 2420;
constexpr int IDC_TimeOptionIndeX0 = 2421;  // .. 2422
constexpr int IDC_lblOffset = 2423;
constexpr int IDC_OffsetList = 2424;
constexpr int IDC_lblTimeExplain = 2425;
constexpr int IDC_HeadingFrame = 2430;
constexpr int IDC_TrackOptionIndeX0 = 2431;  // .. 2432
constexpr int IDC_SpeedUnitsFrame = 2440;
constexpr int IDC_SpeedUnitsOptionIndeX0 = 2441;  // .. 2444
constexpr int IDC_ElevUnitsFrame = 2450;
constexpr int IDC_ElevUnitsOptionIndeX0 = 2451;  // .. 2452
constexpr int IDC_MinimizeOption = 2460;
constexpr int IDC_OnTopOption = 2461;
constexpr int IDC_DDEIgnore = 2462;
constexpr int IDC_Preferences_Ok = 2470;
constexpr int IDC_Preferences_Cancel = 2471;
constexpr int IDC_Preferences_Help = 2472;

}  // namespace pelmora
