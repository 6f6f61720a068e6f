// Resource ids of the alarm windows. Template and control numbers are the
// program's fixed ones; ids of our own come from 23000-23999.
#ifndef VELTRAN_ALARMS_RES_H
#define VELTRAN_ALARMS_RES_H

// The alarm message window and its one control, the message button.
#define IDD_ALARMMESSAGE 269
#define IDC_ALARMMESSAGE_TEXT 1291

#endif
