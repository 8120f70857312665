#pragma once

namespace tarvello {

class TErrorReporter;
class TKeyValueGrid;
class TListEditPage;

// Hands every mouse press in the page's grid, on its rows, on the value being
// typed or on its title row, to the page's MouseDown.
void WatchGridMouse(TListEditPage *page, TKeyValueGrid *grid, TErrorReporter &errors);

} // namespace tarvello
