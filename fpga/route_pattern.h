#pragma once

// The sixteen routing patterns of smart mapping: the order in which the cards of one port
// are laid over a grid of rows x columns cabinets. Pattern n (1..16), i = n - 1:
//
//   corner     = i / 4        where counting starts: 0 top-left, 1 top-right,
//                             2 bottom-left, 3 bottom-right
//   by_columns = (i / 2) % 2  0: along the rows first, 1: along the columns first
//   serpentine = i % 2        0: straight, every row (column) starts again from the start
//                             side; 1: serpentine, every other row (column) runs back
//
//   n   corner        first     kind          n   corner        first     kind
//   1   top-left      rows      straight      9   bottom-left   rows      straight
//   2   top-left      rows      serpentine    10  bottom-left   rows      serpentine
//   3   top-left      columns   straight      11  bottom-left   columns   straight
//   4   top-left      columns   serpentine    12  bottom-left   columns   serpentine
//   5   top-right     rows      straight      13  bottom-right  rows      straight
//   6   top-right     rows      serpentine    14  bottom-right  rows      serpentine
//   7   top-right     columns   straight      15  bottom-right  columns   straight
//   8   top-right     columns   serpentine    16  bottom-right  columns   serpentine
//
// The icons ":/png/line1.png" to ":/png/line16.png" draw the same table.

struct RouteCell {
    int row;
    int column;
};

// The cabinet that card k (from 0) of the chain takes. A pattern outside 1..16 counts as 1;
// k must lie below rows x columns.
RouteCell route_cell(int pattern, int rows, int columns, int k);
