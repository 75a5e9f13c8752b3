// Reading text files a piece at a time, the way fgets hands them out: a line
// longer than the buffer comes in several pieces. Plain buffer work; the
// reader is given, so the rules run over files and memory alike.
#pragma once
#include <stddef.h>

// fgets-shaped source of pieces: fills buffer with at most size-1 bytes of one
// line, its line end included when it fits, and a terminator; nullptr at the end.
typedef char* (*PieceReader)(char* buffer, int size, void* context);

// The fgets reader over a FILE* given as the context.
char* readFilePiece(char* buffer, int size, void* file);

// Reads one piece into buffer (size >= 2 bytes) and returns how many bytes the
// read really delivered, NUL bytes of the file among them; -1 at the end. A NUL
// inside a piece would make strlen stop short, so the buffer is filled with
// line ends first and the last NUL afterwards is the read's own terminator.
int readPiece(PieceReader read, void* context, char* buffer, int size);

// Whether a piece of length bytes, read into a buffer of size bytes, ends its
// line: a full buffer without a line end leaves the rest of that line for the
// next read.
bool pieceEndsLine(const char* piece, size_t length, size_t size);
