// The ids of navres32's string table, shared by navres32.rc and the program, which loads the
// texts by number. Preprocessor definitions only, so that the resource compiler reads them too.
#pragma once

#define IDS_IdleGpsStatus 3    // lblGPSStatus while no GPS data is shown
#define IDS_IdlePortStatus 4   // lblComStatus in Off mode
#define IDS_NoSignalView 5     // lblSatSignalStatus while no GPS data is shown
#define IDS_NoConfigView 6     // lblSatConfigStatus while no GPS data is shown
#define IDS_PortUnavailable 7  // belongs to the engine's open status -2
#define IDS_SetupRejected 8    // belongs to the engine's open status -10
#define IDS_PortOpenFailed 14
#define IDS_LogOpenFailed 15
#define IDS_ClosingEngine 16
// The unit names, in the order of their options' values (ElevUnits, SpeedUnits, TrackTrue,
// TimeUTC).
#define IDS_ElevationFeet 17
#define IDS_ElevationMetres 18
#define IDS_SpeedMph 19
#define IDS_SpeedKnots 20
#define IDS_SpeedMetresPerSecond 21
#define IDS_SpeedKmh 22
#define IDS_HeadingMagnetic 23
#define IDS_HeadingTrue 24
#define IDS_TimeLocal 25
#define IDS_TimeUtc 26
#define IDS_ReplayDialogTitle 27
#define IDS_RecordDialogTitle 28
#define IDS_LinkOpenFailed 29
#define IDS_PollFailed 33
// Receiver status n (0..9) is IDS_ReceiverStatus0 + n.
#define IDS_ReceiverStatus0 34
#define IDS_ReceiverStatus1 35
#define IDS_ReceiverStatus2 36
#define IDS_ReceiverStatus3 37
#define IDS_ReceiverStatus4 38
#define IDS_ReceiverStatus5 39
#define IDS_ReceiverStatus6 40
#define IDS_ReceiverStatus7 41
#define IDS_ReceiverStatus8 42
#define IDS_ReceiverStatus9 43
#define IDS_Satellites 44          // the word after the satellite count
#define IDS_SignalStatusPrefix 45  // lblSatSignalStatus: this, a blank, the time of the bars
#define IDS_ConfigStatusPrefix 46  // lblSatConfigStatus: this, a blank, the time of the sky plot
#define IDS_LinkGivenUp 48
// Messages of the program's own, after the ids above.
#define IDS_HelpPageFailed 49     // a help page did not open; its path follows on a new line
#define IDS_SetupPathTooLong 50   // the NMEA settings file path does not fit its field
#define IDS_RecordStartFailed 51  // Pelmora_StartLog refused the log
#define IDS_RecordingFailed 52    // the recording could not be written and has stopped
#define IDS_ExportNoLog 53        // File > Export... without a replayed log
#define IDS_ExportDialogTitle 54  // the title of the export's save dialog
#define IDS_ExportUnknownType 55  // the chosen name ends in none of the export types
#define IDS_ExportProgress 56     // lblGPSStatus while exporting: this, a blank, the percentage
#define IDS_ExportDone 57         // the export's path follows on a new line
#define IDS_ExportReadFailed 58   // the replayed log could not be read
#define IDS_ExportWriteFailed 59  // the export file could not be created or written
#define IDS_CommandLineUsage 60   // the command line was refused: its usage
