// The browser's main window: the three result tables in two views, the query controls and
// filters, the counters and progress of a running query, the settings read at initialisation
// and written when it closes, and the window side of the query engine.
// Threading: everything runs on the window's thread; the worker reaches the window only through
// PostServerDone and ShowMessage, which queue their work for the window's thread.
#pragma once

#include "app/WindowServices.h"
#include "app/core/CommandLine.h"
#include "app/core/FriendWatch.h"
#include "app/core/Friends.h"
#include "app/core/MainColumnDefs.h"
#include "app/core/QueryResults.h"
#include "app/core/RequerySchedule.h"
#include "app/core/SearchHistory.h"
#include "app/core/ServerRefresh.h"
#include "app/core/Settings.h"
#include "app/core/SlotWait.h"
#include "dlgutil/DialogLayout.h"
#include "dlgutil/SplitCtrl.h"
#include "net/RegistryKey.h"
#include "platform/Dialog.h"
#include "query/QueryEngine.h"
#include "query/QueryWindow.h"
#include "table/ColDef.h"
#include "table/Enum.h"
#include "table/TableCtrl.h"
#include "uictrl/HyperLink.h"

#include <memory>
#include <optional>
#include <string>
#include <thread>

class CMainDialog : public Platform::CDialog, public CQueryWindowInterface {
public:
    // Targets of the two links under the tables.
    static constexpr const char* kHomePage = "https://vantrel.example.org/";
    static constexpr const char* kAuthorMail = "mailto:team@vantrel.example.org";

    explicit CMainDialog(CCommandLine commandLine = {});
    ~CMainDialog() override;

    // Platform::CDialog
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnCommand(unsigned id, unsigned code, Platform::CWnd* from) override;
    long OnNotify(Platform::NMHDR& hdr) override;
    void OnSize(int width, int height) override;
    void OnTimer(unsigned id) override;

    // CQueryWindowInterface
    int GetVersionIndex() override;
    int GetSpeedIndex() override;
    bool GetIncludeEmpty() override;
    bool GetIncludeFull() override;
    void SetWaitCursor(bool wait) override;
    void ShowMessage(const std::string& text, bool stop) override;
    void OnQueryStarted(unsigned run, std::size_t servers) override;
    void OnQueryGrown(unsigned run, const std::vector<CServerRecord*>& added) override;
    void OnListingComplete(unsigned run) override;
    void OnRefreshStarted(unsigned refresh, std::size_t servers) override;
    void PostRefreshDone(unsigned refresh, CServerRecord* fresh) override;
    void PostServerDone(unsigned run, CServerRecord* record) override;
    // Keeps this window painting, sizing and hearing "Close" while the master exchange waits.
    std::uint32_t WaitDuringMasterExchange(std::initializer_list<CWaitable*> objects,
                                           std::uint32_t timeoutMs) override;

    // The server-finished message, on the window's thread.
    void OnServerDone(unsigned run, CServerRecord* record);
    // A refreshed server's fresh result, on the window's thread.
    void OnRefreshDone(unsigned refresh, CServerRecord* fresh);
    // F5 and "Refresh": every listed server again, in place, without asking the masters.
    void RefreshAll();
    // The server menu's "Refresh server": the selected servers.
    void RefreshSelected();
    // "Join when a slot is free" for a listed server; Escape, a query or a join stops it.
    void WaitForSlot(const CServerRecord& record);
    void StopWaitingForSlot();
    bool IsWaitingForSlot() const { return m_slotWait.IsWaiting(); }
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    // The current view (0 players, 1 servers) as the tabs select it.
    void ApplyView();
    // Selection in the server table: the players-on-server table follows row (or none).
    void ShowPlayersOfServerRow(int row);
    void QueryFavorites();
    // The "..." beside "Query Favorites".
    void RunFavoritesDialog();
    void RunOptionsDialog();
    void RunMasterServerDialog();
    // "Join" and a double-click in a result table: joins the current row's server of the
    // table the view shows; closes the window after the start when "Close after joining" is on.
    void Join();
    // The "..." button beside "Join": stores a chosen game executable.
    void ChooseGame();
    // Brings the players whose names match `text` to the top of the all-players table and
    // selects the first with its server; a new text joins the search history.
    void SearchPlayer(const std::string& text);
    // "Del": removes the selected history item after asking.
    void DeleteHistoryItem();
    // "Add to friends" and "Remove from friends" for a player's name as a table shows it.
    void ChangeFriend(const std::string& playerName, bool add);
    // Where friends coming online are announced (the desktop's notifications by default).
    void SetNotifier(std::unique_ptr<IDesktopNotifier> notifier) {
        m_notifier = std::move(notifier);
    }
    const CFriendsStore& Friends() const { return m_friends; }
    // The filter field or "Only servers with humans" changed: both tables show what passes.
    void ApplyLiveFilter();

    int GetView() const { return m_view; }
    bool GetAutoClose() const { return m_autoClose; }
    bool GetAutoRequery() const { return m_autoRequery; }
    // The window's size when it was created, which it never gets smaller than.
    Platform::Size GetMinimumSize() const { return m_minimumSize; }

    Tavex::CTableCtrl& AllPlayersTable() { return m_allPlayers; }
    Tavex::CTableCtrl& ServerTable() { return m_servers; }
    Tavex::CTableCtrl& PlayersOnServerTable() { return m_playersOnServer; }
    Dorlu_DlgUtil::CSplitCtrl& Splitter() { return m_splitter; }
    Dorlu_DlgUtil::CDialogLayout& Layout() { return m_layout; }
    CQueryEngine& Engine() { return m_engine; }
    CRegistryKey& SettingsKey() { return m_key; }
    Platform::CControl& Control(unsigned id) const;
    CMainColumnDefs& ColumnDefs() { return m_columnDefs; }
    // Before the window opens: where countries and flags come from instead of the installed
    // database and flag folder.
    void UseCountryLookup(std::unique_ptr<ICountryLookup> lookup) {
        m_countryLookup = std::move(lookup);
    }
    void UseFlagFolder(std::string folder) { m_flagFolder = std::move(folder); }

private:
    // "Query Master": every input but "Close" is disabled while the exchange runs.
    void QueryMaster();
    void BuildTables();
    void SetUpLayout();
    void ReadSettings();
    void WriteSettings();
    void OnServerMenu(Tavex::NMTABLE& note);
    bool OnServerMenuCommand(const Tavex::NMTABLE& note);
    void OnAllPlayersMenu(Tavex::NMTABLE& note);
    bool OnAllPlayersMenuCommand(const Tavex::NMTABLE& note);
    // The friend items of both player tables' menus, below the other items.
    void OnFriendMenu(Tavex::CTableCtrl& table, Tavex::NMTABLE& note);
    bool OnFriendMenuCommand(Tavex::CTableCtrl& table, const Tavex::NMTABLE& note);
    // At the end of a complete run or refresh: friends who came online since the last one.
    void AnnounceFriends();
    // Joins the record's server as "Join" does.
    void JoinRecord(const CServerRecord& record);
    // The once-a-second clock of the background requery and the slot wait.
    void OnClockTick();
    // The background requery's settings from the options.
    void ConfigureRequery(const COptions& options);
    bool IsIdleForRequery() const;
    CServerRecord* RecordOfServerRow(int row) const;
    CServerRecord* RecordOfRow(const Tavex::CTableCtrl& table, int row) const;
    void ShowCounters();
    // The bar as the progress says: busy while the masters are asked, else at its place.
    void ShowProgressBar();
    // The search field's list, which is the history itself.
    CSearchHistory SearchHistory() const;
    // Brings the visible table, the counters and the bar up to the results: at once when the
    // run is complete, else with the next frame, so a stream of results paints at most at the
    // screen's rate.
    void PresentResults(bool now);
    void TakeScreenshotWhenDone();
    CLiveFilter LiveFilterOfControls() const;
    void FilterTables();

    CCommandLine m_commandLine;
    CRegistryKey m_key;
    CSettings m_stored; // as read, so options of this run only are not written back

    Tavex::CEnum m_gameTypes;
    CMainColumnDefs m_columnDefs;
    std::unique_ptr<ICountryLookup> m_countryLookup;
    std::string m_flagFolder = kFlagFolder;
    Tavex::CTableCtrl m_allPlayers;
    Tavex::CTableCtrl m_servers;
    Tavex::CTableCtrl m_playersOnServer;
    Dorlu_DlgUtil::CSplitCtrl m_splitter;
    Dorlu_DlgUtil::CDialogLayout m_layout;
    Kivra::CHyperLink m_authorLink;
    Kivra::CHyperLink m_productLink;

    int m_view = 0;
    bool m_autoClose = true;
    bool m_autoRequery = false;
    Platform::Size m_minimumSize;
    bool m_layoutReady = false;
    bool m_screenshotPending = false;
    bool m_frameDue = false;    // the frame timer runs
    bool m_rowsChanged = false; // rows came in since the visible table was last redrawn
    // "Close" during the master exchange ends the exchange; the window closes after it.
    bool m_closeAfterMaster = false;
    // A worker that fails reports it from its own thread; the box must open on this one.
    std::thread::id m_windowThread = std::this_thread::get_id();

    CFriendsStore m_friends;
    CFriendWatch m_friendWatch;
    std::unique_ptr<IDesktopNotifier> m_notifier;
    CQueryResults m_results;
    CServerRefresh m_refresh{m_servers, m_allPlayers};
    CRequerySchedule m_requery;
    CSlotWait m_slotWait;
    int m_modalDialogs = 0; // the window's own modal dialogs now open
    // The run the tables show; none once a failed master query or closing has emptied them, so
    // results of the run they stopped, still on their way, stay out.
    std::optional<unsigned> m_tableRun;
    // Declared before the engine: the engine stops its worker before the queue goes away.
    AppWindow::CWindowThreadQueue m_queue;
    CQueryEngine m_engine;
};
