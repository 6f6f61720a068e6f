// The four pages of the alarm editor, each a child dialog that edits its
// own copy of one or two blocks of an alarm. The editor copies the blocks in
// before the page window exists and out after SaveToAlarm accepted. Each page
// is a thin view over its rules in alarmeditmodel.h; Enter and Escape never
// end a page (Escape ends the editor).
#pragma once

#include "afx/afxwin.h"
#include "alarms/alarmeditmodel.h"
#include "alarms/alarmmessagewnd.h"
#include "core/alarm.h"
#include "core/iconhandle.h"

#include <vector>

// Escape inside a page, which reaches the page as its own Cancel, ends the
// editor the page sits in, as Escape on the editor does; the page itself
// stays. A page that is its own top window does nothing.
void AlarmPageEscape(CWnd& page);

class CAlarmInfoPage : public CDialog
{
public:
    CAlarmInfoPage();

    CAlarmSchedule m_schedule;
    CAlarmGeneral m_general;

    // Loads the controls from the two blocks.
    BOOL LoadFromAlarm();
    // FALSE, after telling the user, when the name is empty or the time lies
    // beyond what the record holds; nothing is stored then.
    BOOL SaveToAlarm();
    // The control to correct after SaveToAlarm refused.
    int RefusedControl() const { return m_nRefusedID; }
    void FillCombos();
    void ShowAlarmIcon();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { AlarmPageEscape(*this); }

    afx_msg void OnChangeName();
    afx_msg void OnRepeatOnce() { OnRepeatKind(ALARM_ONCE); }
    afx_msg void OnRepeatSeconds() { OnRepeatKind(ALARM_SECONDS); }
    afx_msg void OnRepeatMinutes() { OnRepeatKind(ALARM_MINUTES); }
    afx_msg void OnRepeatHourly() { OnRepeatKind(ALARM_HOURLY); }
    afx_msg void OnRepeatDaily() { OnRepeatKind(ALARM_DAILY); }
    afx_msg void OnRepeatWeekly() { OnRepeatKind(ALARM_WEEKLY); }
    afx_msg void OnRepeatMonthly() { OnRepeatKind(ALARM_MONTHLY); }
    afx_msg void OnRepeatAnnually() { OnRepeatKind(ALARM_ANNUALLY); }
    afx_msg void OnSelChangeDays();
    afx_msg void OnSelChangeMonth();
    afx_msg void OnSelChangeSeconds();
    afx_msg void OnSelChangeMinutes();
    afx_msg void OnDeltaPosNumber(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnChooseStandardIcon() { ChooseIcon(TRUE); }
    afx_msg void OnChooseCustomIcon() { ChooseIcon(FALSE); }

    // Hides every schedule control, then shows and places those of nKind and
    // sets up the up-down control for it.
    void OnRepeatKind(int nKind);
    void ChooseIcon(BOOL bStandard);
    // The up-down position into the working value of the kind it shows.
    void KeepUpDownPosition();
    void ApplyUpDown(const CUpDownSetup& setup);
    CAlarmInfoFields WorkingFields() const;
    void TakeWorkingFields(const CAlarmInfoFields& fields);

    // Working values of the one up-down control.
    int m_nMinuteOfHour = 0;
    int m_nMonthDay = 0;
    int m_nYearDay = 0;
    // Dialog data.
    CString m_strName;
    BOOL m_bEnabled = 0;
    int m_nRepeat = -1;
    int m_nStarts = 0;
    SYSTEMTIME m_timeAt = {};   // time picker
    SYSTEMTIME m_dateOn = {};   // date picker
    BOOL m_bAskNotify = 0;
    BOOL m_bShowInTray = 0;

    CHotKeyCtrl m_hotKey;
    CStatic m_iconStandard;
    CStatic m_iconCustom;
    CComboBox m_comboMinutes;
    CComboBox m_comboSeconds;
    CComboBox m_comboMonth;
    CComboBox m_comboWeekDay;
    CComboBox m_comboDays;
    CSpinButtonCtrl m_spinNumber;

    int m_nUpDownKind = -1;     // the kind whose working value the up-down shows
    int m_nRefusedID = 0;       // the control SaveToAlarm last refused
    CIconHandle m_icon;         // the alarm's icon while it is shown

    DECLARE_MESSAGE_MAP()
};

class CAlarmMessagePage : public CDialog
{
public:
    CAlarmMessagePage();

    CAlarmMessage m_message;

    BOOL LoadFromAlarm();
    BOOL SaveToAlarm();
    void UpdateControls();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { AlarmPageEscape(*this); }

    afx_msg void OnCenterMessage();
    afx_msg void OnDisplayMessage();
    afx_msg void OnAutoClose() { UpdateControls(); }
    afx_msg void OnChooseFont();
    afx_msg void OnPreview();

    LOGFONT m_lfMessage;
    RECT m_rcMessage;
    CAlarmMessageWnd m_wndPreview;
    CRichEditCtrl m_editText;
    CRichEditCtrl m_editHidden;
    CSpinButtonCtrl m_spinSeconds;

    BOOL m_bMsgCenter = 0;
    BOOL m_bShowMessage = 0;
    BOOL m_bToggleAnalog = 0;
    BOOL m_bAutoClose = 0;
    BOOL m_bToggleCalendar = 0;
    BOOL m_bToggleDigital = 0;
    BOOL m_bToggleTrayClock = 0;
    BOOL m_bMsgOnTop = 0;

    DECLARE_MESSAGE_MAP()
};

class CAlarmActionsPage : public CDialog
{
public:
    CAlarmActionsPage();

    CAlarmActions m_actions;

    BOOL LoadFromAlarm();
    BOOL SaveToAlarm();
    void FillSystemFunctions();
    void FillApplications();
    void RefreshApplicationIcons();
    void UpdateControls();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { AlarmPageEscape(*this); }

    afx_msg void OnRunApps() { UpdateControls(); }
    afx_msg void OnSysFuncs() { UpdateControls(); }
    afx_msg void OnAddApplication();
    afx_msg void OnTestApplication();
    afx_msg void OnRemoveApplication();
    afx_msg void OnDblClkApps(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRClickApps(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDblClkSysFuncs(NMHDR* pNMHDR, LRESULT* pResult);

    // The row of the selection mark, or -1 after telling the user there is none.
    int SelectedApplication();

    BOOL m_bRunApps = 0;
    BOOL m_bSysFuncs = 0;
    CString m_strApps;
    CString m_strSysFuncs;
    CString m_strSeparator;
    CListCtrl m_listApps;
    CImageList m_imagesApps;
    CListCtrl m_listSysFuncs;
    CImageList m_imagesSysFuncs;

    DECLARE_MESSAGE_MAP()
};

class CAlarmSoundsPage : public CDialog
{
public:
    CAlarmSoundsPage();

    CAlarmSound m_sound;

    BOOL LoadFromAlarm();
    BOOL SaveToAlarm();
    void FillFromFolder();
    void FillFromString();
    void RefreshSoundIcons();
    void UpdateControls();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { AlarmPageEscape(*this); }

    afx_msg void OnPlaySounds() { UpdateControls(); }
    afx_msg void OnAddSound();
    afx_msg void OnRemoveSound();
    afx_msg void OnTestSound();

    int SelectedSound();
    std::vector<CAlarmListRow> Rows() const;
    void SetRows(const std::vector<CAlarmListRow>& rows);
    void SetTestIcon(UINT nIcon);

    BOOL m_bPlaySounds = 0;
    CString m_strSounds;
    CString m_strSeparator;
    CString m_strPlaying;
    BOOL m_bPlaying = 0;
    CListCtrl m_listSounds;
    CImageList m_imagesSounds;
    CImageList m_imagesTest;
    CButton m_btnTest;

    DECLARE_MESSAGE_MAP()
};
