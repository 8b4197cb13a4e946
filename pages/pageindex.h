#pragma once

// The window's pages in the order of the sidebar's buttons and the page stack.
enum PageIndex {
    InboxPageIndex = 0,
    VaultPageIndex = 1,
    AccountsPageIndex = 2,
    LinkPageIndex = 3,
    ActivityPageIndex = 4,
    PageCount = 5
};
