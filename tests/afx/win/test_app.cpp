// The application object and its loop, the seams, timers, run-time class
// information and the pointer collections.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "afx/afxtime.h"
#include "afx/afxwin.h"
#include "support/tempfolder.h"
#include "support/win_window.h"

namespace {

// --- seams ---------------------------------------------------------------

TEST(Seams, MessageBoxIsRecordedWithTheProgramNameAsCaption) {
    CWinApp app;  // no name: the program file's base name
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    EXPECT_EQ(IDYES, AfxMessageBox("Are you sure?", MB_YESNO));
    ASSERT_EQ(1u, seams.m_calls.size());
    std::string expected = std::string("MessageBox \"Are you sure?\" \"") + app.m_pszExeName + "\"";
    EXPECT_EQ(0, seams.m_calls[0].compare(0, expected.size(), expected)) << seams.m_calls[0];
    EXPECT_NE(std::string::npos, seams.m_calls[0].find("-> 6"));  // IDYES
    EXPECT_STREQ(app.m_pszExeName, app.m_pszAppName);
    EXPECT_EQ(nullptr, std::strchr(app.m_pszExeName, '.'));
}

TEST(Seams, DefaultButtonFollowsTypeAndDefaultFlag) {
    EXPECT_EQ(IDOK, CRecordingSeams::DefaultButton(MB_OK));
    EXPECT_EQ(IDNO, CRecordingSeams::DefaultButton(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, CRecordingSeams::DefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3));
    EXPECT_EQ(IDRETRY, CRecordingSeams::DefaultButton(MB_RETRYCANCEL | MB_ICONERROR));
    EXPECT_EQ(IDABORT, CRecordingSeams::DefaultButton(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(IDYES, CRecordingSeams::DefaultButton(MB_YESNO | MB_DEFBUTTON4));  // no fourth button
}

TEST(Seams, ScriptedAnswersComeFirstThenDefaults) {
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    seams.m_messageBoxAnswers.push_back(IDNO);
    EXPECT_EQ(IDNO, AfxSeamMessageBox(nullptr, "q", "c", MB_YESNO));
    EXPECT_EQ(IDYES, AfxSeamMessageBox(nullptr, "q", "c", MB_YESNO));
    EXPECT_EQ(2, seams.CountCalls("MessageBox"));
}

TEST(Seams, EverySideEffectIsRecordedAndNothingIsPerformed) {
    const vtest::CTempFolder folder;
    const std::string strLog = folder.Str("seams.log");
    CRecordingSeams seams(strLog.c_str());
    CSeamsScope scope(&seams);
    CSystemSeams* p = AfxGetSeams();
    EXPECT_GT((INT_PTR)p->ShellExecute(nullptr, "open", "C:\\no\\such.exe", "", "", SW_SHOWNORMAL), 32);
    EXPECT_GT(p->WinExec("notepad.exe", SW_SHOW), 31u);
    EXPECT_TRUE(p->PlaySound("C:\\sounds\\a.wav", nullptr, SND_ASYNC | SND_FILENAME));
    EXPECT_TRUE(p->ExitWindowsEx(EWX_LOGOFF, 0));
    EXPECT_TRUE(p->BlockInput(TRUE));
    EXPECT_EQ(0, p->SystemCommand(nullptr, SC_MONITORPOWER, 2));
    EXPECT_EQ(0u, p->MciSendString("set cdaudio door open", nullptr, 0, nullptr));
    EXPECT_EQ(nullptr, p->HtmlHelp(nullptr, "Veltran.chm::/General/index.htm", 0, 0));
    ASSERT_EQ(8u, seams.m_calls.size());
    EXPECT_EQ("ShellExecute \"open\" \"C:\\\\no\\\\such.exe\" \"\" \"\" 1", seams.m_calls[0]);
    EXPECT_EQ("MciSendString \"set cdaudio door open\"", seams.m_calls[6]);
    // The automation log holds the same lines, in order.
    std::ifstream log(strLog);
    std::string line;
    size_t n = 0;
    while (std::getline(log, line)) {
        ASSERT_LT(n, seams.m_calls.size());
        EXPECT_EQ(seams.m_calls[n], line);
        ++n;
    }
    EXPECT_EQ(8u, n);
}

TEST(Seams, CurrentTimeComesFromTheInstalledSeams) {
    CRecordingSeams seams;
    seams.m_nNow = 1000000000;  // 2001-09-09 01:46:40 UTC
    {
        CSeamsScope scope(&seams);
        EXPECT_EQ(1000000000, (long long)CTime::GetCurrentTime().GetTime());
    }
    EXPECT_GT((long long)CTime::GetCurrentTime().GetTime(), 1500000000LL);
}

// --- timers and the application loop ------------------------------------

class CTickWnd : public CWnd {
public:
    int m_nTicks = 0;
    UINT_PTR m_nLastID = 0;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent) {
        ++m_nTicks;
        m_nLastID = nIDEvent;
        if (m_nTicks == 3)
            KillTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTickWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(Timer, TicksReachTheHandlerWithTheirId) {
    CTickWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "tick", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_EQ(400u, wnd.SetTimer(400, 10));
    EXPECT_TRUE(vtest::PumpUntil([&] { return wnd.m_nTicks >= 3; }));
    EXPECT_EQ(400u, wnd.m_nLastID);
    ::Sleep(50);
    vtest::PumpPending();
    EXPECT_EQ(3, wnd.m_nTicks);  // killed after the third
}

const UINT UM_KEY_PROBE = WM_APP + 40;

class CFilteringWnd : public CWnd {
public:
    int m_nFiltered = 0;
    int m_nReceived = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'F') {
            ++m_nFiltered;
            return TRUE;
        }
        return FALSE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYDOWN)
            ++m_nReceived;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CLoopApp : public CWinApp {
public:
    CLoopApp() : CWinApp("loop") {}
    CFilteringWnd m_parent;
    CWnd m_child;
    int m_nTempsBeforeIdle = -1;
    int m_nTempsAtIdle = -1;
    BOOL InitInstance() override {
        if (!m_parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr))
            return FALSE;
        if (!m_child.CreateEx(0, nullptr, "child", WS_CHILD, 0, 0, 10, 10, m_parent.m_hWnd, nullptr))
            return FALSE;
        m_pMainWnd = &m_parent;
        // Keys posted to the child: the parent filters one of them on the way.
        ::PostMessageA(m_child.m_hWnd, WM_KEYDOWN, 'F', 0);
        ::PostMessageA(m_parent.m_hWnd, WM_KEYDOWN, 'G', 0);
        CWnd::FromHandle(::GetDesktopWindow());  // a temporary for the idle time to free
        m_nTempsBeforeIdle = AfxGetTempWndCount();
        return TRUE;
    }
    BOOL OnIdle(LONG lCount) override {
        BOOL bMore = CWinApp::OnIdle(lCount);
        if (lCount == 0 && m_nTempsAtIdle < 0) {
            m_nTempsAtIdle = AfxGetTempWndCount();
            m_parent.PostMessage(WM_CLOSE);  // destroying the main window ends the loop
        }
        return bMore;
    }
};

TEST(Application, LoopFiltersUpTheParentChainFreesTemporariesAndEndsWithTheMainWindow) {
    CLoopApp app;
    int nExit = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    EXPECT_EQ(0, nExit);
    EXPECT_EQ(1, app.m_parent.m_nFiltered);
    EXPECT_EQ(1, app.m_parent.m_nReceived);  // 'G' only; 'F' never reached a window
    EXPECT_EQ(1, app.m_nTempsBeforeIdle);
    EXPECT_EQ(0, app.m_nTempsAtIdle);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    EXPECT_EQ(nullptr, app.m_parent.m_hWnd);
    EXPECT_EQ(nullptr, app.m_child.m_hWnd);
}

TEST(Application, RegisteredClassesAreSharedForEqualAttributes) {
    LPCSTR a = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    LPCSTR b = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    LPCSTR c = AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_NE(nullptr, a);
    EXPECT_STREQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASSA wc{};
    ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), a, &wc));
    EXPECT_EQ((UINT)CS_DBLCLKS, wc.style);
}

// --- run-time classes ------------------------------------------------------

class CAnimal : public CObject {
    DECLARE_DYNCREATE(CAnimal)
};
IMPLEMENT_DYNCREATE(CAnimal, CObject)

class CDog : public CAnimal {
    DECLARE_DYNCREATE(CDog)
public:
    int m_nLegs = 4;
};
IMPLEMENT_DYNCREATE(CDog, CAnimal)

TEST(RuntimeClass, KindOfFollowsTheBaseChain) {
    CDog dog;
    EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CDog)));
    EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CAnimal)));
    EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CObject)));
    CAnimal animal;
    EXPECT_FALSE(animal.IsKindOf(RUNTIME_CLASS(CDog)));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CDog, &animal));
    EXPECT_STREQ("CDog", dog.GetRuntimeClass()->m_lpszClassName);
    CWnd wnd;
    EXPECT_TRUE(wnd.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(wnd.IsKindOf(RUNTIME_CLASS(CDialog)));
}

TEST(RuntimeClass, CreateObjectMakesTheRightClassByPointerOrName) {
    CObject* p = RUNTIME_CLASS(CDog)->CreateObject();
    ASSERT_NE(nullptr, p);
    EXPECT_TRUE(p->IsKindOf(RUNTIME_CLASS(CDog)));
    EXPECT_EQ(4, static_cast<CDog*>(p)->m_nLegs);
    delete p;
    CRuntimeClass* pClass = CRuntimeClass::FromName("CAnimal");
    EXPECT_EQ(RUNTIME_CLASS(CAnimal), pClass);
    EXPECT_EQ(nullptr, CRuntimeClass::FromName("CUnknown"));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CDialog)->CreateObject());  // not dynamically creatable
}

// --- pointer collections ---------------------------------------------------

TEST(PtrCollections, ListPositionsSurviveOtherInsertionsAndRemovals) {
    CPtrList list;
    int a = 1, b = 2, c = 3;
    POSITION posA = list.AddTail(&a);
    list.AddTail(&c);
    POSITION posB = list.InsertAfter(posA, &b);
    list.AddHead(&c);
    ASSERT_EQ(4, list.GetCount());
    EXPECT_EQ(&b, list.GetAt(posB));
    list.RemoveAt(list.GetHeadPosition());
    std::vector<int> seen;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        seen.push_back(*static_cast<int*>(list.GetNext(pos)));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), seen);
    EXPECT_EQ(posB, list.Find(&b));
    EXPECT_EQ(nullptr, list.Find(&b, posB));
    EXPECT_EQ(posB, list.FindIndex(1));
    EXPECT_EQ(nullptr, list.FindIndex(3));
    EXPECT_EQ(&c, list.RemoveTail());
    EXPECT_EQ(&a, list.RemoveHead());
    EXPECT_EQ(1, list.GetCount());
    EXPECT_EQ(list.GetHeadPosition(), list.GetTailPosition());
}

TEST(PtrCollections, ObListHoldsObjects) {
    CObList list;
    CDog dog;
    CAnimal animal;
    list.AddTail(&dog);
    list.AddTail(&animal);
    int nDogs = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        nDogs += list.GetNext(pos)->IsKindOf(RUNTIME_CLASS(CDog));
    EXPECT_EQ(1, nDogs);
}

TEST(PtrCollections, MapsLookUpReplaceRemoveAndIterateEveryEntry) {
    CMapStringToPtr map;
    int values[50];
    for (int i = 0; i < 50; ++i) {
        char key[16];
        wsprintfA(key, "key%d", i);
        map.SetAt(key, &values[i]);
    }
    map["key7"] = &values[0];  // replaces
    EXPECT_EQ(50, map.GetCount());
    void* p = nullptr;
    ASSERT_TRUE(map.Lookup("key7", p));
    EXPECT_EQ(&values[0], p);
    EXPECT_FALSE(map.Lookup("KEY7", p));  // keys are case-sensitive
    EXPECT_TRUE(map.RemoveKey("key8"));
    EXPECT_FALSE(map.RemoveKey("key8"));
    int nSeen = 0;
    CString key;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        map.GetNextAssoc(pos, key, p);
        ++nSeen;
        EXPECT_STRNE("key8", key);
    }
    EXPECT_EQ(49, nSeen);

    CMapPtrToPtr ptrs;
    EXPECT_EQ(nullptr, ptrs.GetStartPosition());
    ptrs.InitHashTable(3);
    for (int i = 0; i < 10; ++i)
        ptrs[&values[i]] = &values[i + 1];
    EXPECT_EQ(3u, ptrs.GetHashTableSize());
    void* pValue = nullptr;
    ASSERT_TRUE(ptrs.Lookup(&values[9], pValue));
    EXPECT_EQ(&values[10], pValue);
    int nPtrs = 0;
    void* pKey = nullptr;
    for (POSITION pos = ptrs.GetStartPosition(); pos != nullptr; ++nPtrs)
        ptrs.GetNextAssoc(pos, pKey, pValue);
    EXPECT_EQ(10, nPtrs);
    ptrs.RemoveAll();
    EXPECT_TRUE(ptrs.IsEmpty());
}

}  // namespace
