#pragma once
// The radiation and circle layouts. The layout driver (TreeLayout.h) calls
// them after choosing the scaling (XScale, Cladogram, RootDepth).
//
// Angles are radians counter-clockwise from the positive x axis as seen on
// the screen: the point at distance r in direction a from P is
// (P.x + round(r cos a), P.y - round(r sin a)), each product rounded on its
// own. StartAngle s turns the picture in steps of 30 degrees: the base
// direction is (0.5 - s/6) pi (s = 0 points up).

#include "tree/view/TreeDisplay.h"

// Unrooted star around the root at (0, 0): every subtree gets an angular
// sector in proportion to its weight (and inversely to its reach outside a
// cladogram) and spreads inside it. A rooted tree shown with its root opens
// both root subtrees to the right within 120 degrees in all. Negative
// branch lengths draw as zero. Leaves position, angle, sector (pi, the half
// turn, for the root) and extent (mean reach in length units).
void LayoutRadiation(TTreeDisplay& display);

// Taxa on a circle of Radius pixels around the centre at (0, 0), the root at
// CenterMargin percent of it. XScale is rescaled to the radius. Up to 18 tips
// share the full turn; more leave a 20-degree gap after the last one.
// Leaves position, angle, extent (distance from the centre), hidden, and
// sector (half the turn the subtree's tips take).
void LayoutCircle(TTreeDisplay& display);

// Row weights used by both styles (kept in `rows`).
void SetWeights(TTreeDisplay& display);
