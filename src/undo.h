/*
 * Tarvenloft - undo and redo of painting.
 *
 * A stroke is every cell that one press of the left button changed, up to
 * its release. The history keeps the last giUndoStrokes strokes; undoing one
 * puts its cells back as they were before it, redoing it paints them again.
 * A new stroke after an undo drops the strokes that could have been redone.
 * Painting goes through undoPaint, which writes the global map and notes
 * what the cell held.
 *
 * SPDX-License-Identifier: MIT
 */
#ifndef TARVENLOFT_UNDO_H
#define TARVENLOFT_UNDO_H

#include "header.h"

const int giUndoStrokes = 256;  // strokes the history keeps; older ones are forgotten

void undoClear();
void undoBeginStroke();
void undoPaint(int iLayer, int iX, int iY, int iValue);
void undoEndStroke();
bool undoUndo();
bool undoRedo();
int undoCount();

#endif
