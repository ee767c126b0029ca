#include "app/MainDialog.h"

#include "app/DesktopNotifier.h"
#include "app/EventPump.h"
#include "app/FavoritesDialog.h"
#include "app/MasterServerDialog.h"
#include "app/OptionsDialog.h"
#include "app/ServerInfoDialog.h"
#include "app/ServerPasswordDialog.h"
#include "app/core/FavoritesFile.h"
#include "app/core/GameStarter.h"
#include "app/core/Join.h"
#include "app/core/LiveFilter.h"
#include "app/core/MainTables.h"
#include "app/core/MainView.h"
#include "app/core/MasterStatus.h"
#include "app/core/PlayerSearch.h"
#include "app/core/RefreshTables.h"
#include "app/core/SearchHistory.h"
#include "app/core/StartupQuery.h"
#include "platform/Controls.h"
#include "query/Favorites.h"
#include "query/MasterList.h"
#include "resources/ComboLists.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "uictrl/PopupMenu.h"

#include <chrono>
#include <cstdio>

using namespace Platform;

namespace {

// The timer that brings streamed results to the screen once per frame.
constexpr unsigned kPresentTimer = 1;
// The notification code of a command that comes from an accelerator.
constexpr unsigned kAcceleratorCode = 1;
// The once-a-second clock of the background requery and the slot wait.
constexpr unsigned kClockTimer = 2;
constexpr unsigned kClockMs = 1000;
constexpr unsigned kRefreshKey = VK_F1 + 4; // F5

template <std::size_t N>
void DefineColumns(Tavex::CTableCtrl& table, const std::array<CColumnSpec, N>& columns,
                   const CMainColumnDefs& defs, const CDesignScale& scale) {
    table.SetDesignScale(scale);
    table.SetColumnCount(static_cast<int>(N));
    for (std::size_t i = 0; i < N; ++i) {
        const CColumnSpec& spec = columns[i];
        // The record column starts hidden by having no title at all; the others need telling.
        table.SetColumn(static_cast<int>(i), &defs.For(spec.m_kind),
                        *spec.m_title ? spec.m_title : nullptr, scale.X(spec.m_width));
        if (spec.m_hidden && *spec.m_title)
            table.SetColumnVisible(static_cast<int>(i), false);
    }
    table.Build();
}

// Choosing a history item marks the time, so the double-click that chose it does not search
// once more; the mark is the program's, not one window's.
CSelectionTimeMark g_historyChoiceMark;

// The server the user just chose in a table that selects several rows: the current row when it
// is selected, otherwise the first selected row; -1 when nothing is selected.
int ChosenRow(Tavex::CTableCtrl& table) {
    const int current = table.GetCurrentCell().GetRow();
    if (current >= 0 && table.GetTable()->IsRowSelected(current))
        return current;
    return table.GetCurrentRow();
}

void SortWithOwnKeys(Tavex::CTableCtrl& table) {
    table.Sort(Tavex::CSortKeys(*table.GetSortKeys()));
    table.Redraw(true);
}

// The join's questions as the main window's modal dialogs.
class CWindowJoinDialogs : public CJoinDialogs {
public:
    explicit CWindowJoinDialogs(CWnd& owner) : m_owner(owner) {}

    EPasswordAnswer AskPassword(const std::string& question) override {
        switch (m_owner.GetPlatform().MessageBox(&m_owner, question, "Vantrel Jedi Knight 2",
                                                 MB_YESNOCANCEL)) {
        case IDYES:
            return EPasswordAnswer::Yes;
        case IDNO:
            return EPasswordAnswer::No;
        default:
            return EPasswordAnswer::Cancel;
        }
    }

    std::optional<std::string> ChooseGameExecutable() override {
        OpenFileRequest request;
        request.fileName = kGameFileName;
        request.filter = kGameFileFilter;
        std::string path;
        if (!m_owner.GetPlatform().GetOpenFileName(&m_owner, request, path))
            return std::nullopt;
        return path;
    }

    void ShowError(const std::string& message) override {
        m_owner.GetPlatform().MessageBox(&m_owner, message, "Vantrel Jedi Knight 2",
                                         MB_OK | MB_ICONEXCLAMATION);
    }

    std::optional<std::string> EnterServerPassword() override {
        CServerPasswordDialog dialog;
        if (dialog.DoModal(m_owner.GetPlatform(), &m_owner) != IDOK)
            return std::nullopt;
        return dialog.m_password;
    }

private:
    CWnd& m_owner;
};

} // namespace

CMainDialog::CMainDialog(CCommandLine commandLine)
    : CDialog(Res::MainDialogTemplate()), m_commandLine(std::move(commandLine)),
      m_gameTypes(kGameTypeNames), m_columnDefs(m_gameTypes),
      m_notifier(std::make_unique<CDesktopNotifier>()), m_results(m_servers, m_allPlayers),
      m_engine(*this) {
    m_results.SetFriends(&m_friends.List());
    m_refresh.SetFriends(&m_friends.List());
}

CMainDialog::~CMainDialog() {
    m_engine.StopQuery(-1);
}

CControl& CMainDialog::Control(unsigned id) const {
    return dynamic_cast<CControl&>(*GetDlgItem(id));
}

bool CMainDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    SetWindowText("Vantrel Jedi Knight 2");
    OpenSettingsKey(m_key);

    m_authorLink.SetLinkUrl(kAuthorMail);
    m_authorLink.SubclassDlgItem(Res::IDC_AUTHOR_LINK, *this);
    m_productLink.SetLinkUrl(kHomePage);
    m_productLink.SubclassDlgItem(Res::IDC_PRODUCT_LINK, *this);
    for (const char* line : Res::kVersionLines)
        Control(Res::IDC_VERSION).AddString(line);
    for (const char* line : Res::kSpeedLines)
        Control(Res::IDC_SPEED).AddString(line);

    m_friends.Load();
    m_columnDefs.Flags().SetSource(m_flagFolder, [this](const std::string& path) {
        return GetPlatform().LoadImageFile(path);
    });
    m_engine.SetCountries(std::make_shared<CCountryCache>(
        m_countryLookup ? std::move(m_countryLookup) : OpenCountryDatabase()));
    BuildTables();
    const Rect outer = GetWindowRect();
    m_minimumSize = {outer.Width(), outer.Height()};
    const Rect client = GetClientRect();
    AppWindow::SetMinimumSize(*this, {client.Width(), client.Height()});

    // The three tables share one height inside the tab control.
    const Rect top = ScreenToClientRect(m_allPlayers.GetWindowRect());
    const Rect right = ScreenToClientRect(m_playersOnServer.GetWindowRect());
    for (Tavex::CTableCtrl* table : {&m_servers, &m_playersOnServer}) {
        Rect r = ScreenToClientRect(table->GetWindowRect());
        table->MoveWindow({r.left, top.top, r.right, r.bottom});
    }
    m_allPlayers.MoveWindow({top.left, top.top, top.right, right.bottom});

    SetUpLayout();
    GetPlatform().AddAccelerator(*this, 'F', true, Res::IDC_LIVE_FILTER);
    // The tab control frames the tables, so they lie above it whatever their creation order.
    for (CWnd* pane :
         std::initializer_list<CWnd*>{&m_allPlayers, &m_servers, &m_splitter, &m_playersOnServer})
        pane->PlaceAfter(nullptr);
    ReadSettings();
    ConfigureRequery(LoadOptions(m_key));
    SetTimer(kClockTimer, kClockMs);

    const int command = StartupCommand(m_stored.m_startupQuery);
    const int chosen =
        m_commandLine.m_startupQuery ? StartupCommand(*m_commandLine.m_startupQuery) : command;
    m_screenshotPending = m_commandLine.m_screenshot.has_value();
    // Posted, so the query starts once the window shows and its loop runs.
    m_queue.Post([this, chosen] {
        if (chosen != 0)
            OnCommand(static_cast<unsigned>(chosen), BN_CLICKED, nullptr);
        if (m_screenshotPending && !m_engine.IsRunning() && m_results.Progress().IsComplete())
            TakeScreenshotWhenDone();
    });
    return true;
}

void CMainDialog::BuildTables() {
    m_allPlayers.ReplaceDlgItem(Res::IDC_ALL_PLAYERS, *this);
    DefineColumns(m_allPlayers, kAllPlayersColumns, m_columnDefs, CDesignScale{GetBaseUnits()});
    m_allPlayers.Sort(Tavex::CSortKeys{AllPlayersColumn::kPlayer, Tavex::CSortKeys::kAscending});
    m_servers.ReplaceDlgItem(Res::IDC_SERVERS, *this);
    DefineColumns(m_servers, kServerColumns, m_columnDefs, CDesignScale{GetBaseUnits()});
    m_servers.Sort(Tavex::CSortKeys{ServerColumn::kPing, Tavex::CSortKeys::kAscending});
    m_playersOnServer.ReplaceDlgItem(Res::IDC_PLAYERS_ON_SERVER, *this);
    DefineColumns(m_playersOnServer, kPlayerOnServerColumns, m_columnDefs,
                  CDesignScale{GetBaseUnits()});
}

void CMainDialog::SetUpLayout() {
    using Dorlu_DlgUtil::EdgeLeft;
    m_layout.Init(*this);
    m_splitter.ReplaceDlgItem(Res::IDC_SPLITTER, *this);
    m_splitter.Attach(m_layout, 15, 65);
    const int split = m_layout.AddWindow(&m_splitter, 0x1033);
    m_layout.AddItem(Res::IDC_VIEW_TABS, 0x1010);
    m_layout.AddWindow(&m_allPlayers, 0x1010);
    m_layout.AddWindow(&m_servers, 0x1010, -1, split);
    const int players = m_layout.AddWindow(&m_playersOnServer, 0x1011, split);
    m_layout.AddItemsInRect(Res::IDC_FRAME_QUERY, 0x0011, players);
    m_layout.AddItemsInRect(Res::IDC_FRAME_JOIN, 0x1111, players);
    m_layout.AddItemsInRect(Res::IDC_FRAME_COUNTERS, 0x1100);
    m_layout.AddItem(Res::IDC_PROGRESS, 0x1110);
    m_layout.AddItem(Res::IDC_SEARCH_FIELD, 0x1011);
    m_layout.AddItem(Res::IDC_SEARCH_GROUP, 0x1011);
    m_layout.AddItem(Res::IDC_SEARCH, 0x1111);
    m_layout.AddItem(Res::IDC_DELETE_HISTORY, 0x1111);
    // The filter's field grows with the window; the humans box keeps to the right.
    m_layout.AddItem(Res::IDC_LIVE_FILTER, 0x0010);
    m_layout.AddItem(Res::IDC_ONLY_HUMANS, 0x0011);
    m_layoutReady = true;
}

void CMainDialog::ReadSettings() {
    const struct {
        Tavex::CTableCtrl& table;
        const char* name;
    } layouts[] = {{m_allPlayers, kPlayerLayoutValue},
                   {m_servers, kServerLayoutValue},
                   {m_playersOnServer, kPlayerOnServerLayoutValue}};
    for (const auto& layout : layouts) {
        Tavex::CWordArray words;
        layout.table.SaveLayout(words);
        ReadTableLayout(m_key, layout.name, words);
        layout.table.RestoreLayout(words);
    }

    m_stored = LoadMainSettings(m_key);
    const CSettings settings = WithCommandLine(m_stored, m_commandLine);

    CControl& history = Control(Res::IDC_SEARCH_FIELD);
    const CSearchHistory stored = CSearchHistory::FromSetting(settings.m_lastPlayers);
    for (const std::string& item : stored.Items())
        history.SetItemData(history.AddString(item), CSearchHistory::kItemData);
    history.SetCurSel(0);
    SetDlgItemText(Res::IDC_PASSWORD, settings.m_password);

    if (settings.m_lastPos && IsMainRectApplied(*settings.m_lastPos, m_minimumSize.cx)) {
        const CWindowRect& r = *settings.m_lastPos;
        MoveWindow({r.m_left, r.m_top, r.m_right, r.m_bottom});
        if (settings.m_splitPos != 0)
            m_splitter.SetPos(settings.m_splitPos);
    }

    CControl& version = Control(Res::IDC_VERSION);
    version.SetCurSel(VersionSelection(settings.m_version));
    if (version.GetCurSel() < 0)
        version.SetCurSel(1);
    m_autoClose = settings.m_autoClose;
    m_autoRequery = settings.m_autoRequery;
    CheckDlgButton(Res::IDC_INCLUDE_EMPTY, settings.m_includeEmpty ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Res::IDC_INCLUDE_FULL, settings.m_includeFull ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(Res::IDC_LIVE_FILTER, settings.m_liveFilter);
    CheckDlgButton(Res::IDC_ONLY_HUMANS, settings.m_onlyHumans ? BST_CHECKED : BST_UNCHECKED);
    m_results.Filter().Apply(LiveFilterOfControls());
    m_columnDefs.SetColoursShown(LoadOptions(m_key).m_showColours);
    m_engine.SetMasters(MastersOf(settings));
    Control(Res::IDC_SPEED).SetCurSel(SpeedSelection(settings.m_speed));

    CControl& tabs = Control(Res::IDC_VIEW_TABS);
    for (int i = 0; i < 2; ++i)
        tabs.InsertItem(i, kViewTabs[i]);
    tabs.SetCurSel(ViewOfLastView(static_cast<int>(settings.m_lastView)));
    ApplyView();

    SortWithOwnKeys(m_allPlayers);
    SortWithOwnKeys(m_servers);
    m_playersOnServer.Redraw(false);
}

void CMainDialog::WriteSettings() {
    m_engine.StopQuery(-1);
    // The tables' record keys, and results still queued, would name freed records from here on.
    m_tableRun.reset();
    m_servers.DeleteAllRows();
    m_allPlayers.DeleteAllRows();
    m_playersOnServer.DeleteAllRows();
    m_engine.GetServerList().Clear();

    CSettings current = m_stored;
    current.m_speed = static_cast<std::uint32_t>(Control(Res::IDC_SPEED).GetCurSel());
    current.m_version = VersionOfSelection(Control(Res::IDC_VERSION).GetCurSel());
    current.m_lastView = static_cast<std::uint32_t>(m_view);
    current.m_includeEmpty = IsDlgButtonChecked(Res::IDC_INCLUDE_EMPTY) == BST_CHECKED;
    current.m_includeFull = IsDlgButtonChecked(Res::IDC_INCLUDE_FULL) == BST_CHECKED;
    SetMasters(current, m_engine.GetMasters());
    current.m_lastPlayers = SearchHistory().ToSetting();
    current.m_password = GetDlgItemText(Res::IDC_PASSWORD);
    current.m_liveFilter = GetDlgItemText(Res::IDC_LIVE_FILTER);
    current.m_onlyHumans = IsDlgButtonChecked(Res::IDC_ONLY_HUMANS) == BST_CHECKED;
    current.m_lastPos.reset();
    if (!AppWindow::IsMinimized(*this)) {
        const Rect r = GetWindowRect();
        current.m_lastPos = CWindowRect{r.left, r.top, r.right, r.bottom}.Normalized();
        current.m_splitPos = m_splitter.GetPos();
    }

    CMainLayouts layouts;
    m_allPlayers.SaveLayout(layouts.m_player);
    m_servers.SaveLayout(layouts.m_server);
    m_playersOnServer.SaveLayout(layouts.m_playerOnServer);
    SaveMainSettings(m_key, WithoutCommandLine(current, m_stored, m_commandLine), layouts);
}

void CMainDialog::OnCancel() {
    if (!IsWindow())
        return;
    if (m_engine.IsMasterExchange()) {
        m_closeAfterMaster = true;
        m_engine.CancelMasterQuery();
        return;
    }
    WriteSettings();
    CDialog::OnCancel();
}

void CMainDialog::OnSize(int width, int height) {
    CDialog::OnSize(width, height);
    if (m_layoutReady)
        m_layout.Apply();
}

void CMainDialog::OnCommand(unsigned id, unsigned code, CWnd* from) {
    if (id == Res::IDC_LIVE_FILTER && code == kAcceleratorCode) {
        CWnd* field = GetDlgItem(Res::IDC_LIVE_FILTER);
        GetPlatform().SetFocus(field);
        Control(Res::IDC_LIVE_FILTER).SetSel(0, -1);
        return;
    }
    if ((id == Res::IDC_LIVE_FILTER && code == EN_CHANGE) ||
        (id == Res::IDC_ONLY_HUMANS && code == BN_CLICKED)) {
        ApplyLiveFilter();
        return;
    }
    // Escape (no button behind it) ends a slot wait before it would close the window.
    if (id == IDCANCEL && from == nullptr && m_slotWait.IsWaiting()) {
        StopWaitingForSlot();
        return;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case Res::IDC_REFRESH:
            RefreshAll();
            return;
        case Res::IDC_QUERY_MASTER: {
            QueryMaster();
            return;
        }
        case Res::IDC_QUERY_FAVORITES:
            QueryFavorites();
            return;
        case Res::IDC_FAVORITES_DIALOG:
            RunFavoritesDialog();
            return;
        case Res::IDC_MASTER_DIALOG:
            RunMasterServerDialog();
            return;
        case Res::IDC_OPTIONS:
            RunOptionsDialog();
            return;
        case Res::IDC_JOIN:
            Join();
            return;
        case Res::IDC_CHOOSE_GAME:
            ChooseGame();
            return;
        case Res::IDC_SEARCH:
            SearchPlayer(GetDlgItemText(Res::IDC_SEARCH_FIELD));
            return;
        case Res::IDC_DELETE_HISTORY:
            DeleteHistoryItem();
            return;
        default:
            break;
        }
    }
    if (id == Res::IDC_SEARCH_FIELD && code == CBN_SELENDOK) {
        const CControl& history = Control(Res::IDC_SEARCH_FIELD);
        g_historyChoiceMark.OnItemChosen(GetPlatform().GetTickCount());
        if (history.GetCurSel() >= 0)
            SearchPlayer(history.GetLBText(history.GetCurSel()));
        return;
    }
    if (id == Res::IDC_SEARCH_FIELD && code == CBN_DBLCLK) {
        if (g_historyChoiceMark.AllowsDoubleClick(GetPlatform().GetTickCount()))
            SearchPlayer(GetDlgItemText(Res::IDC_SEARCH_FIELD));
        return;
    }
    CDialog::OnCommand(id, code, from);
}

long CMainDialog::OnNotify(NMHDR& hdr) {
    // F5 in a table refreshes, as it does anywhere in the window.
    if (hdr.code == NM_KEYDOWN && static_cast<NMKEY&>(hdr).nVKey == kRefreshKey) {
        RefreshAll();
        return 1;
    }
    if (hdr.idFrom == Res::IDC_VIEW_TABS && hdr.code == TCN_SELCHANGE) {
        ApplyView();
        return 0;
    }
    if (hdr.code == NM_DBLCLK &&
        (hdr.idFrom == Res::IDC_ALL_PLAYERS || hdr.idFrom == Res::IDC_SERVERS)) {
        Join();
        return 0;
    }
    if (hdr.idFrom == Res::IDC_ALL_PLAYERS || hdr.idFrom == Res::IDC_PLAYERS_ON_SERVER) {
        const bool all = hdr.idFrom == Res::IDC_ALL_PLAYERS;
        Tavex::CTableCtrl& table = all ? m_allPlayers : m_playersOnServer;
        auto& note = static_cast<Tavex::NMTABLE&>(hdr);
        if (hdr.code == Tavex::TVN_BODYMENU) {
            // Each inserts at the top, so the friend items end up below the server's.
            OnFriendMenu(table, note);
            if (all)
                OnAllPlayersMenu(note);
        } else if (hdr.code == Tavex::TVN_BODYMENUCOMMAND) {
            return (all && OnAllPlayersMenuCommand(note)) || OnFriendMenuCommand(table, note) ? 1
                                                                                              : 0;
        }
        return 0;
    }
    if (hdr.idFrom != Res::IDC_SERVERS)
        return 0;
    auto& note = static_cast<Tavex::NMTABLE&>(hdr);
    switch (hdr.code) {
    case Tavex::TVN_SELCHANGED:
        // Several rows may be selected, so the notification carries no row.
        ShowPlayersOfServerRow(ChosenRow(m_servers));
        return 0;
    case Tavex::TVN_BODYMENU:
        OnServerMenu(note);
        return 0;
    case Tavex::TVN_BODYMENUCOMMAND:
        return OnServerMenuCommand(note) ? 1 : 0;
    default:
        return 0;
    }
}

void CMainDialog::ApplyView() {
    const int selected = Control(Res::IDC_VIEW_TABS).GetCurSel();
    m_view = selected < 0 ? kPlayerView : selected;
    const CViewVisibility shown = VisibilityOfView(m_view);
    m_splitter.ShowWindow(shown.m_splitter);
    m_servers.ShowWindow(shown.m_serverTable);
    m_playersOnServer.ShowWindow(shown.m_playersOnServer);
    m_allPlayers.ShowWindow(shown.m_allPlayers);
    // Rows that came in while a table was hidden are laid out when it shows.
    if (shown.m_allPlayers)
        m_allPlayers.Redraw(true);
    else
        m_servers.Redraw(true);
}

CServerRecord* CMainDialog::RecordOfServerRow(int row) const {
    return RecordOfRow(m_servers, row);
}

CServerRecord* CMainDialog::RecordOfRow(const Tavex::CTableCtrl& table, int row) const {
    if (!table.IsValidRow(row))
        return nullptr;
    auto& rows = const_cast<Tavex::CTableCtrl&>(table);
    CServerRecord* record = m_results.Keys().RecordOf(rows.GetCell(row, kRecordColumn)->GetInt());
    // Only records the list still holds: a failed master query may have emptied it.
    for (auto& [address, listed] : const_cast<CQueryEngine&>(m_engine).GetServerList())
        if (&listed == record)
            return record;
    return nullptr;
}

void CMainDialog::ShowPlayersOfServerRow(int row) {
    const Tavex::CSortKeys keys(*m_playersOnServer.GetSortKeys());
    FillPlayersOnServer(m_playersOnServer, RecordOfServerRow(row), keys, &m_friends.List());
    m_playersOnServer.Redraw(true);
}

void CMainDialog::OnServerMenu(Tavex::NMTABLE& note) {
    if (!note.menu)
        return;
    const bool onRow = m_servers.IsValidRow(note.iRow);
    const int inserted =
        note.menu->InsertItems(0, ServerMenuItems(onRow), kAddToFavoritesCommand, MF_BYPOSITION);
    const CServerRecord* record = RecordOfServerRow(note.iRow);
    note.menu->InsertItems(static_cast<unsigned>(inserted),
                           RefreshMenuItems(onRow, record && CSlotWait::IsFull(*record)),
                           kRefreshServerCommand, MF_BYPOSITION);
}

void CMainDialog::OnAllPlayersMenu(Tavex::NMTABLE& note) {
    if (!note.menu)
        return;
    const CServerRecord* record = RecordOfRow(m_allPlayers, note.iRow);
    note.menu->InsertItems(0, PlayerMenuItems(record && CSlotWait::IsFull(*record)),
                           kJoinWhenFreeCommand, MF_BYPOSITION);
}

bool CMainDialog::OnAllPlayersMenuCommand(const Tavex::NMTABLE& note) {
    if (note.command != kJoinWhenFreeCommand)
        return false;
    if (const CServerRecord* record = RecordOfRow(m_allPlayers, note.iRow))
        WaitForSlot(*record);
    return true;
}

bool CMainDialog::OnServerMenuCommand(const Tavex::NMTABLE& note) {
    if (note.command == kAddToFavoritesCommand) {
        int error = 0;
        if (m_servers.IsValidRow(note.iRow) &&
            AppendFavorite(kFavoritesFile, m_servers.GetCellText(note.iRow, ServerColumn::kIp),
                           m_servers.GetCellText(note.iRow, ServerColumn::kServer),
                           &error) == EAppendResult::Failed)
            GetPlatform().MessageBox(this, FavoritesFileError(kFavoritesFile, error),
                                     "Vantrel Jedi Knight 2", MB_OK | MB_ICONSTOP);
        return true;
    }
    if (note.command == kRefreshServerCommand) {
        RefreshSelected();
        return true;
    }
    if (note.command == kJoinWhenFreeCommand) {
        if (const CServerRecord* record = RecordOfServerRow(note.iRow))
            WaitForSlot(*record);
        return true;
    }
    if (note.command == kShowServerInfoCommand) {
        if (CServerRecord* record = RecordOfServerRow(note.iRow)) {
            CServerInfoDialog dialog(*record);
            dialog.DoModal(GetPlatform(), this);
        }
        return true;
    }
    return false;
}

void CMainDialog::OnFriendMenu(Tavex::CTableCtrl& table, Tavex::NMTABLE& note) {
    // Both player tables name the player in their first column.
    static_assert(AllPlayersColumn::kPlayer == PlayerOnServerColumn::kPlayer);
    if (!note.menu)
        return;
    const bool onRow = table.IsValidRow(note.iRow);
    note.menu->InsertItems(
        0,
        FriendMenuItems(onRow, onRow && m_friends.IsFriend(table.GetCellText(
                                            note.iRow, AllPlayersColumn::kPlayer))),
        kAddToFriendsCommand, MF_BYPOSITION);
}

bool CMainDialog::OnFriendMenuCommand(Tavex::CTableCtrl& table, const Tavex::NMTABLE& note) {
    if (note.command != kAddToFriendsCommand && note.command != kRemoveFromFriendsCommand)
        return false;
    if (table.IsValidRow(note.iRow))
        ChangeFriend(table.GetCellText(note.iRow, AllPlayersColumn::kPlayer),
                     note.command == kAddToFriendsCommand);
    return true;
}

void CMainDialog::ChangeFriend(const std::string& playerName, bool add) {
    const int error = add ? m_friends.Add(playerName) : m_friends.Remove(playerName);
    if (error != 0)
        GetPlatform().MessageBox(this, FriendsFileError(m_friends.Path(), error),
                                 "Vantrel Jedi Knight 2", MB_OK | MB_ICONSTOP);
    // Rows the live filter hides are marked as well, so they are right when they show again;
    // each row keeps its place and the current one stays current.
    const bool filtered = m_results.Filter().IsActive();
    if (filtered) {
        m_servers.FilterRows(nullptr);
        m_allPlayers.FilterRows(nullptr);
    }
    // What another window changed in the file shows here too.
    MarkFriends(m_servers, m_allPlayers, m_playersOnServer, m_friends.List());
    if (filtered)
        FilterTables();
    for (Tavex::CTableCtrl* table : {&m_allPlayers, &m_servers, &m_playersOnServer})
        table->RedrawLater();
}

void CMainDialog::AnnounceFriends() {
    if (!m_notifier)
        return;
    for (const CFriendSighting& sighting :
         m_friendWatch.OnResults(FindFriendsOnServers(m_engine.GetServerList(), m_friends.List())))
        m_notifier->Notify(FriendOnlineText(sighting));
}

void CMainDialog::QueryMaster() {
    if (m_engine.IsMasterExchange())
        return;
    StopWaitingForSlot();
    CWnd* const focus = GetPlatform().GetFocus();
    std::vector<CWnd*> disabled;
    for (CWnd* child : GetChildren())
        if (child != GetDlgItem(IDCANCEL) && child->IsWindowEnabled()) {
            child->EnableWindow(false);
            disabled.push_back(child);
        }
    const std::optional<unsigned> shown = m_tableRun;
    SetDlgItemText(Res::IDC_MASTER_STATUS, kIdleStatus);
    m_results.SetAskingMasters(true);
    ShowProgressBar();
    const CQueryEngine::EMasterResult result = m_engine.QueryMaster();
    m_results.SetAskingMasters(false);
    ShowProgressBar();
    if (result != CQueryEngine::EMasterResult::Busy)
        SetDlgItemText(Res::IDC_MASTER_STATUS, MasterStatusText(m_engine.GetMasterReport()));
    for (CWnd* child : disabled)
        child->EnableWindow(true);
    if (focus && IsChild(focus))
        GetPlatform().SetFocus(focus);
    // An exchange that ended before the list was emptied leaves the last results standing;
    // once it has been emptied (the engine moved on to a new run), their records are gone.
    if ((result == CQueryEngine::EMasterResult::Failed ||
         result == CQueryEngine::EMasterResult::Cancelled) &&
        !(shown && m_engine.IsCurrentRun(*shown))) {
        OnQueryStarted(0, 0);
        m_tableRun.reset();
    }
    if (m_closeAfterMaster) {
        m_closeAfterMaster = false;
        OnCancel();
    }
}

void CMainDialog::QueryFavorites() {
    StopWaitingForSlot();
    CWaitCursor wait(GetPlatform());
    if (!m_engine.PrepareQuery())
        return;
    LoadFavoritesIntoList(kFavoritesFile, m_engine.GetServerList());
    m_engine.StartQuery();
}

void CMainDialog::RunFavoritesDialog() {
    CFavoritesDialog dialog(this, kFavoritesFile);
    dialog.DoModal(GetPlatform(), this);
}

void CMainDialog::RunOptionsDialog() {
    COptionsDialog dialog(m_key);
    dialog.DoModal(GetPlatform(), this);
    const COptions options = LoadOptions(m_key);
    m_autoClose = options.m_autoClose;
    m_autoRequery = options.m_autoRequery;
    ConfigureRequery(options);
    if (options.m_showColours != m_columnDefs.GetColoursShown()) {
        m_columnDefs.SetColoursShown(options.m_showColours);
        for (Tavex::CTableCtrl* table : {&m_allPlayers, &m_servers, &m_playersOnServer})
            table->Redraw(true);
    }
}

CLiveFilter CMainDialog::LiveFilterOfControls() const {
    return MakeLiveFilter(GetDlgItemText(Res::IDC_LIVE_FILTER),
                          IsDlgButtonChecked(Res::IDC_ONLY_HUMANS) == BST_CHECKED);
}

void CMainDialog::ApplyLiveFilter() {
    m_results.Filter().Apply(LiveFilterOfControls());
    FilterTables();
    ShowPlayersOfServerRow(ChosenRow(m_servers));
    ShowCounters();
    m_servers.Redraw(true);
    m_allPlayers.Redraw(true);
}

void CMainDialog::FilterTables() {
    m_servers.FilterRows(m_results.Filter().ServerRows());
    m_allPlayers.FilterRows(m_results.Filter().PlayerRows());
}

void CMainDialog::RunMasterServerDialog() {
    CMasterServerDialog dialog;
    const std::vector<std::string>& masters = m_engine.GetMasters();
    dialog.m_address = masters.empty() ? std::string() : masters.front();
    if (masters.size() > 1)
        dialog.m_moreMasters =
            JoinMasterTexts(std::vector<std::string>(masters.begin() + 1, masters.end()));
    if (dialog.DoModal(GetPlatform(), this) != IDOK)
        return;
    // Kept as typed: a name is resolved at each query, so a master that moves is still found.
    std::vector<std::string> edited{dialog.m_address};
    for (std::string& more : SplitMasterTexts(dialog.m_moreMasters))
        edited.push_back(std::move(more));
    m_engine.SetMasters(std::move(edited));
}

void CMainDialog::Join() {
    const Tavex::CTableCtrl& table = JoinsFromAllPlayers(m_view) ? m_allPlayers : m_servers;
    if (const CServerRecord* record = RecordOfRow(table, table.GetCurrentRow()))
        JoinRecord(*record);
}

void CMainDialog::JoinRecord(const CServerRecord& record) {
    StopWaitingForSlot();
    // Asked even when the join is cancelled; the game starts while the query winds down.
    m_engine.RequestStop();
    const CJoinRequest request{record.m_address.Format(), GetDlgItemText(Res::IDC_PASSWORD),
                               record.m_password, record.m_needPass};
    CWindowJoinDialogs dialogs(*this);
    if (JoinServer(m_key, request, dialogs) == EJoinResult::Started && m_autoClose)
        OnCancel();
}

void CMainDialog::ChooseGame() {
    CWindowJoinDialogs dialogs(*this);
    ChooseGameExecutable(m_key, dialogs);
}

void CMainDialog::SearchPlayer(const std::string& text) {
    const std::optional<CPlayerSearch> search = PreparePlayerSearch(text);
    if (!search)
        return;
    CControl& history = Control(Res::IDC_SEARCH_FIELD);
    if (SearchHistory().AddIfNew(search->m_text)) {
        const int added = history.AddString(search->m_text);
        history.SetItemData(added, CSearchHistory::kItemData);
        history.SetCurSel(added);
    }

    m_allPlayers.SetCurrentRow(-1);
    m_servers.SetCurrentRow(-1);
    const CSearchSelection selection =
        ApplyPlayerSearch(m_allPlayers, m_servers, m_playersOnServer, m_results.Keys(), *search,
                          Tavex::CSortKeys(*m_playersOnServer.GetSortKeys()));
    m_allPlayers.Redraw(true);
    if (selection.m_allPlayersRow < 0)
        return;
    m_allPlayers.SetCurrentRow(selection.m_allPlayersRow);
    m_allPlayers.EnsureVisible(selection.m_allPlayersRow, -1);
    m_allPlayers.Redraw(true);
    if (selection.m_serverRow < 0)
        return;
    m_servers.SetCurrentRow(selection.m_serverRow);
    m_servers.EnsureVisible(selection.m_serverRow, -1);
    m_servers.Redraw(true);
    m_playersOnServer.SetCurrentRow(selection.m_playerOnServerRow);
    m_playersOnServer.Redraw(false);
}

CSearchHistory CMainDialog::SearchHistory() const {
    const CControl& field = Control(Res::IDC_SEARCH_FIELD);
    CSearchHistory history;
    for (int i = 0; i < field.GetCount(); ++i)
        history.Add(field.GetLBText(i));
    return history;
}

void CMainDialog::DeleteHistoryItem() {
    CControl& history = Control(Res::IDC_SEARCH_FIELD);
    const int selected = history.GetCurSel();
    if (selected < 0)
        return;
    if (GetPlatform().MessageBox(this, DeleteQuestion(history.GetLBText(selected)),
                                 "Vantrel Jedi Knight 2", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    history.DeleteString(selected);
}

// ---- the query engine's window -------------------------------------------------------------

int CMainDialog::GetVersionIndex() {
    return Control(Res::IDC_VERSION).GetCurSel();
}

int CMainDialog::GetSpeedIndex() {
    return Control(Res::IDC_SPEED).GetCurSel();
}

bool CMainDialog::GetIncludeEmpty() {
    return IsDlgButtonChecked(Res::IDC_INCLUDE_EMPTY) == BST_CHECKED;
}

bool CMainDialog::GetIncludeFull() {
    return IsDlgButtonChecked(Res::IDC_INCLUDE_FULL) == BST_CHECKED;
}

void CMainDialog::SetWaitCursor(bool wait) {
    if (wait)
        GetPlatform().BeginWaitCursor();
    else
        GetPlatform().EndWaitCursor();
}

void CMainDialog::ShowMessage(const std::string& text, bool stop) {
    // A picture run has nobody to close a message box; the text goes to the terminal instead.
    if (m_commandLine.m_screenshot) {
        std::fprintf(stderr, "vantrel: %s\n", text.c_str());
        return;
    }
    if (std::this_thread::get_id() != m_windowThread) {
        m_queue.Post([this, text, stop] {
            if (IsWindow())
                ShowMessage(text, stop);
        });
        return;
    }
    GetPlatform().MessageBox(this, text, "Vantrel Jedi Knight 2",
                             stop ? MB_OK | MB_ICONSTOP : MB_OK);
}

std::uint32_t CMainDialog::WaitDuringMasterExchange(std::initializer_list<CWaitable*> objects,
                                                    std::uint32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<int> fds;
    for (CWaitable* object : objects)
        fds.push_back(object->GetFd());
    for (;;) {
        const std::uint32_t signalled = WaitForMultipleObjects(objects, 0);
        if (signalled != WAIT_TIMEOUT)
            return signalled;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return WAIT_TIMEOUT;
        AppWindow::RunEventsUntilReadable(fds, static_cast<std::uint32_t>(left));
    }
}

void CMainDialog::OnQueryStarted(unsigned run, std::size_t servers) {
    m_tableRun = run;
    // What another window changed in the friends file shows from this run on.
    m_friends.Load();
    m_playersOnServer.DeleteAllRows();
    m_results.Start(m_engine.GetServerList(), m_engine.GetIncludeEmpty(), m_engine.GetIncludeFull(),
                    m_engine.IsListing());
    const CQueryResults::CUpdate update =
        m_results.EndIfEmpty(*m_servers.GetSortKeys(), *m_allPlayers.GetSortKeys());
    ShowProgressBar();
    SetDlgItemText(Res::IDC_SERVERS_TO_QUERY, std::to_string(servers));
    ShowCounters();
    m_servers.Redraw(true);
    m_allPlayers.Redraw(true);
    m_playersOnServer.Redraw(true);
    if (update.m_complete && m_screenshotPending)
        TakeScreenshotWhenDone();
}

void CMainDialog::ShowProgressBar() {
    Control(Res::IDC_PROGRESS).SetRange(0, m_results.Progress().Range());
    Control(Res::IDC_PROGRESS).SetPos(m_results.Progress().Position());
}

void CMainDialog::OnQueryGrown(unsigned run, const std::vector<CServerRecord*>& added) {
    if (m_tableRun != run)
        return;
    m_results.Grow(added);
    Control(Res::IDC_PROGRESS).SetRange(0, m_results.Progress().Range());
    PresentResults(false);
}

void CMainDialog::OnListingComplete(unsigned run) {
    if (m_tableRun != run || !IsWindow())
        return;
    const CQueryResults::CUpdate update =
        m_results.CloseListing(*m_servers.GetSortKeys(), *m_allPlayers.GetSortKeys());
    if (!update.m_complete)
        return;
    m_rowsChanged = true;
    PresentResults(true);
    AnnounceFriends();
    if (m_screenshotPending)
        TakeScreenshotWhenDone();
}

void CMainDialog::PostServerDone(unsigned run, CServerRecord* record) {
    m_queue.Post([this, run, record] { OnServerDone(run, record); });
}

void CMainDialog::OnServerDone(unsigned run, CServerRecord* record) {
    if (m_tableRun != run || !m_engine.IsCurrentRun(run) || !IsWindow())
        return;
    const CQueryResults::CUpdate update = m_results.OnServerFinished(
        *record, m_view, *m_servers.GetSortKeys(), *m_allPlayers.GetSortKeys());
    m_rowsChanged = m_rowsChanged || update.m_shown || update.m_complete;
    if (update.m_counterChanged || update.m_shown || update.m_complete)
        PresentResults(update.m_complete);
    if (update.m_complete)
        AnnounceFriends();
    if (update.m_complete && m_screenshotPending)
        TakeScreenshotWhenDone();
}

void CMainDialog::PresentResults(bool now) {
    // Two frames of a 60 Hz screen: a list that grows 30 times a second looks just as live.
    constexpr unsigned kFrameMs = 33;
    if (!now) {
        if (!m_frameDue)
            SetTimer(kPresentTimer, kFrameMs);
        m_frameDue = true;
        return;
    }
    if (m_frameDue) {
        KillTimer(kPresentTimer);
        m_frameDue = false;
    }
    // Rows that came in since the last frame are shown until the filter sees them here.
    if (m_rowsChanged && m_results.Filter().IsActive())
        FilterTables();
    const CQueryProgress& progress = m_results.Progress();
    SetDlgItemText(Res::IDC_SERVERS_TO_QUERY, std::to_string(progress.Shown()));
    Control(Res::IDC_PROGRESS).SetPos(progress.Position());
    ShowCounters();
    // Only the visible table is painted; the hidden one is laid out when it shows. The paint
    // joins the counters' in the next pass of the event loop.
    if (std::exchange(m_rowsChanged, false))
        (m_view == kPlayerView ? m_allPlayers : m_servers).RedrawLater();
}

void CMainDialog::OnTimer(unsigned id) {
    if (id == kPresentTimer)
        PresentResults(true);
    else if (id == kClockTimer)
        OnClockTick();
    else
        CDialog::OnTimer(id);
}

void CMainDialog::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    if (vk == kRefreshKey) {
        RefreshAll();
        return;
    }
    CDialog::OnKeyDown(vk, repeat, flags);
}

// ---- refresh in place, background requery, waiting for a slot -----------------------------

void CMainDialog::RefreshAll() {
    std::vector<CSockAddr> servers;
    for (const auto& [address, record] : m_engine.GetServerList())
        servers.push_back(address);
    if (!servers.empty() && m_engine.StartRefresh(servers))
        m_requery.OnActivity(GetPlatform().GetTickCount());
}

void CMainDialog::RefreshSelected() {
    std::vector<CSockAddr> servers;
    for (int key : SelectedKeys(m_servers, m_servers.GetCurrentCell().GetRow()))
        if (const CServerRecord* record = m_results.Keys().RecordOf(key))
            servers.push_back(record->m_address);
    if (!servers.empty())
        m_engine.StartRefresh(servers);
}

void CMainDialog::OnRefreshStarted(unsigned refresh, std::size_t servers) {
    m_refresh.Start(refresh, servers);
}

void CMainDialog::PostRefreshDone(unsigned refresh, CServerRecord* fresh) {
    m_queue.Post([this, refresh, fresh] { OnRefreshDone(refresh, fresh); });
}

void CMainDialog::OnRefreshDone(unsigned refresh, CServerRecord* fresh) {
    if (!m_engine.IsCurrentRefresh(refresh) || refresh != m_refresh.Current() || !IsWindow())
        return;
    CServerRecord* listed = m_engine.GetServerList().Find(fresh->m_address);
    const int key = listed ? m_results.Keys().KeyOf(listed) : 0;
    // The refresh finds a server's rows among all of them, those the live filter hides too;
    // the filter then judges the server by what it says now.
    const bool filtered = m_results.Filter().IsActive();
    if (filtered) {
        m_servers.FilterRows(nullptr);
        m_allPlayers.FilterRows(nullptr);
    }
    const CServerRefresh::CUpdate update = m_refresh.OnRefreshed(
        listed, *fresh, key, m_engine.GetIncludeEmpty(), m_engine.GetIncludeFull());
    if (listed && key != 0)
        m_results.Filter().Add(key, *listed);
    if (filtered)
        FilterTables();
    // The players-on-server table follows its server.
    const int chosen = ChosenRow(m_servers);
    if (listed && RecordOfServerRow(chosen) == listed)
        ShowPlayersOfServerRow(chosen);
    m_rowsChanged = true;
    PresentResults(update.m_complete);
    if (update.m_complete) {
        m_requery.OnActivity(GetPlatform().GetTickCount());
        AnnounceFriends();
    }

    if (!m_slotWait.IsWaiting() || !(fresh->m_address == m_slotWait.Server()))
        return;
    const bool answered = fresh->m_state >= CServerRecord::kStateAnswered;
    switch (m_slotWait.OnStatus(*fresh, answered, GetPlatform().GetTickCount())) {
    case CSlotWait::EOutcome::Join:
        SetDlgItemText(Res::IDC_MASTER_STATUS, kIdleStatus);
        if (listed)
            JoinRecord(*listed);
        break;
    case CSlotWait::EOutcome::GiveUp:
        StopWaitingForSlot();
        ShowMessage("The server stopped answering; no longer waiting for a free slot.", false);
        break;
    case CSlotWait::EOutcome::Keep:
        SetDlgItemText(Res::IDC_MASTER_STATUS, m_slotWait.StatusText());
        break;
    }
}

void CMainDialog::WaitForSlot(const CServerRecord& record) {
    m_slotWait.Start(record.m_address, record.m_name, GetPlatform().GetTickCount());
    SetDlgItemText(Res::IDC_MASTER_STATUS, m_slotWait.StatusText());
    OnClockTick();
}

void CMainDialog::StopWaitingForSlot() {
    if (!m_slotWait.IsWaiting())
        return;
    m_slotWait.Stop();
    SetDlgItemText(Res::IDC_MASTER_STATUS, kIdleStatus);
}

void CMainDialog::ConfigureRequery(const COptions& options) {
    m_requery.Configure(options.m_autoRequery, options.m_requerySeconds,
                        GetPlatform().GetTickCount());
}

bool CMainDialog::IsIdleForRequery() const {
    return !m_engine.IsMasterExchange() && !m_engine.IsRunning() &&
           !AppWindow::IsMinimized(*this) && !AppWindow::HasModalAbove(*this);
}

void CMainDialog::OnClockTick() {
    const std::uint32_t now = GetPlatform().GetTickCount();
    if (m_slotWait.IsWaiting()) {
        if (m_slotWait.OnTick(now) == CSlotWait::EOutcome::GiveUp) {
            StopWaitingForSlot();
            ShowMessage("The server stopped answering; no longer waiting for a free slot.", false);
        } else if (m_slotWait.IsAskDue(now) && m_engine.StartRefresh({m_slotWait.Server()})) {
            m_slotWait.OnAsked(now);
        }
        return;
    }
    if (m_requery.IsDue(now, IsIdleForRequery()))
        RefreshAll();
}

void CMainDialog::ShowCounters() {
    SetDlgItemText(Res::IDC_PLAYER_COUNT, std::to_string(m_allPlayers.GetRowCount()));
    SetDlgItemText(Res::IDC_SERVER_COUNT, std::to_string(m_servers.GetRowCount()));
}

void CMainDialog::TakeScreenshotWhenDone() {
    m_screenshotPending = false;
    m_queue.Post([this] {
        // A picture of the server view shows the players of a server, so one is selected.
        if (m_view != kPlayerView && m_servers.GetRowCount() > 0 && m_servers.GetCurrentRow() < 0) {
            m_servers.SetCurrentRow(0);
            ShowPlayersOfServerRow(0);
        }
        m_servers.Redraw(true);
        m_allPlayers.Redraw(true);
        if (!AppWindow::SaveScreenshot(*this, *m_commandLine.m_screenshot))
            std::fprintf(stderr, "vantrel: cannot write %s\n", m_commandLine.m_screenshot->c_str());
        OnCancel();
    });
}
