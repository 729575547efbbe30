#!/usr/bin/env python3
"""The move judge: the plain rules of chess, written apart from the engine.

It knows nothing of Talvoran's board or move generator, so whatever it says
about a position (the legal moves, check, mate, the draws by rule) is a
second opinion the engine can be measured against.

    board = Board.start().play("e2e4")
    board.legal_moves()           # ['a7a6', 'a7a5', ...] in UCI notation
    game = Game(); game.play("f2f3"); ...; game.outcome()

Python 3.11 standard library only. Run as a program it checks itself
against a perft suite:

    python3 python/movejudge.py --perft tests/data/perft.epd [--depth 3]

Lines of the suite read "FEN ;D1 n1 ;D2 n2 ..."; every listed depth up to
--depth is compared, one line is printed per mismatch, and the exit status
is 1 if any count differs.

Inside, the board is 0x88: 128 cells, rank * 16 + file, so a step off the
board is caught by "square & 0x88". Moves are made and taken back in place
and a move is legal when it leaves its own king unattacked.
"""

import argparse
import collections
import sys
import time

WHITE, BLACK = 0, 8          # colour bit of a piece code
PAWN, KNIGHT, BISHOP, ROOK, QUEEN, KING = 1, 2, 3, 4, 5, 6
EMPTY = 0

LETTERS = " PNBRQK  pnbrqk"  # piece code -> FEN letter
PIECE_OF_LETTER = {letter: code for code, letter in enumerate(LETTERS) if letter != " "}

SQUARES = [rank * 16 + file for rank in range(8) for file in range(8)]
FILES = "abcdefgh"

KNIGHT_STEPS = (-33, -31, -18, -14, 14, 18, 31, 33)
KING_STEPS = (-17, -16, -15, -1, 1, 15, 16, 17)
ROOK_RAYS = (-16, -1, 1, 16)
BISHOP_RAYS = (-17, -15, 15, 17)

# Move kinds besides the ordinary one.
NORMAL, DOUBLE_STEP, EN_PASSANT, CASTLE = 0, 1, 2, 3

A1, E1, H1, A8, E8, H8 = 0x00, 0x04, 0x07, 0x70, 0x74, 0x77
CASTLE_K, CASTLE_Q, CASTLE_k, CASTLE_q = 1, 2, 4, 8
CASTLE_LETTERS = ((CASTLE_K, "K"), (CASTLE_Q, "Q"), (CASTLE_k, "k"), (CASTLE_q, "q"))

# Castling rights that survive a move from or to each square: moving the
# king or a rook, or taking a rook at home, loses the matching rights.
RIGHTS_KEPT = [15] * 128
RIGHTS_KEPT[E1] = 15 & ~(CASTLE_K | CASTLE_Q)
RIGHTS_KEPT[H1] = 15 & ~CASTLE_K
RIGHTS_KEPT[A1] = 15 & ~CASTLE_Q
RIGHTS_KEPT[E8] = 15 & ~(CASTLE_k | CASTLE_q)
RIGHTS_KEPT[H8] = 15 & ~CASTLE_k
RIGHTS_KEPT[A8] = 15 & ~CASTLE_q

# King destination of a castling move -> the rook's (from, to).
CASTLE_ROOK = {E1 + 2: (H1, E1 + 1), E1 - 2: (A1, E1 - 1),
               E8 + 2: (H8, E8 + 1), E8 - 2: (A8, E8 - 1)}

# ALIGNED[a - b + 119] is true when a and b share a rank, file or diagonal.
# Only a piece on such a line from its king can be pinned, so when not in
# check every other piece's moves are legal without a test.
ALIGNED = [False] * 239
for _step in KING_STEPS:
    for _distance in range(1, 8):
        ALIGNED[_step * _distance + 119] = True


def square_name(square):
    return FILES[square & 7] + str((square >> 4) + 1)


def parse_square(name):
    """'e4' -> 0x88 index; ValueError if it names no square."""
    if len(name) != 2 or name[0] not in FILES or name[1] not in "12345678":
        raise ValueError("not a square: %r" % (name,))
    return (int(name[1]) - 1) * 16 + FILES.index(name[0])


def attacked(cells, target, by):
    """Does a piece of colour `by` attack the square `target`?"""
    if by == WHITE:
        pawn = WHITE | PAWN
        s = target - 15
        if not s & 0x88 and cells[s] == pawn:
            return True
        s = target - 17
        if not s & 0x88 and cells[s] == pawn:
            return True
    else:
        pawn = BLACK | PAWN
        s = target + 15
        if not s & 0x88 and cells[s] == pawn:
            return True
        s = target + 17
        if not s & 0x88 and cells[s] == pawn:
            return True
    knight = by | KNIGHT
    for step in KNIGHT_STEPS:
        s = target + step
        if not s & 0x88 and cells[s] == knight:
            return True
    king = by | KING
    for step in KING_STEPS:
        s = target + step
        if not s & 0x88 and cells[s] == king:
            return True
    queen = by | QUEEN
    for rays, slider in ((ROOK_RAYS, by | ROOK), (BISHOP_RAYS, by | BISHOP)):
        for step in rays:
            s = target + step
            while not s & 0x88:
                piece = cells[s]
                if piece:
                    if piece == slider or piece == queen:
                        return True
                    break
                s += step
    return False


def pseudo_moves(cells, us, castling, ep):
    """Every move of side `us` by the way the pieces move, own king's safety
    aside (castling excepted: it is only listed when the king neither starts,
    passes nor lands on an attacked square). A move is a tuple
    (from, to, promotion piece code or 0, kind)."""
    them = us ^ 8
    moves = []
    add = moves.append
    forward = 16 if us == WHITE else -16
    start_rank = 1 if us == WHITE else 6
    last_rank = 7 if us == WHITE else 0
    for frm in SQUARES:
        piece = cells[frm]
        if not piece or piece & 8 != us:
            continue
        kind = piece & 7
        if kind == PAWN:
            to = frm + forward
            if not cells[to]:
                if to >> 4 == last_rank:
                    for promoted in (QUEEN, ROOK, BISHOP, KNIGHT):
                        add((frm, to, us | promoted, NORMAL))
                else:
                    add((frm, to, 0, NORMAL))
                    if frm >> 4 == start_rank and not cells[to + forward]:
                        add((frm, to + forward, 0, DOUBLE_STEP))
            for to in (frm + forward - 1, frm + forward + 1):
                if to & 0x88:
                    continue
                victim = cells[to]
                if victim and victim & 8 == them:
                    if to >> 4 == last_rank:
                        for promoted in (QUEEN, ROOK, BISHOP, KNIGHT):
                            add((frm, to, us | promoted, NORMAL))
                    else:
                        add((frm, to, 0, NORMAL))
                elif to == ep:
                    add((frm, to, 0, EN_PASSANT))
        elif kind == KNIGHT or kind == KING:
            for step in (KNIGHT_STEPS if kind == KNIGHT else KING_STEPS):
                to = frm + step
                if to & 0x88:
                    continue
                victim = cells[to]
                if not victim or victim & 8 == them:
                    add((frm, to, 0, NORMAL))
            if kind == KING and castling:
                _add_castling(cells, us, castling, frm, add)
        else:
            if kind == ROOK:
                rays = ROOK_RAYS
            elif kind == BISHOP:
                rays = BISHOP_RAYS
            else:
                rays = KING_STEPS
            for step in rays:
                to = frm + step
                while not to & 0x88:
                    victim = cells[to]
                    if victim:
                        if victim & 8 == them:
                            add((frm, to, 0, NORMAL))
                        break
                    add((frm, to, 0, NORMAL))
                    to += step
    return moves


def _add_castling(cells, us, castling, king_square, add):
    home = E1 if us == WHITE else E8
    if king_square != home:
        return
    short, long_ = (CASTLE_K, CASTLE_Q) if us == WHITE else (CASTLE_k, CASTLE_q)
    them = us ^ 8
    rook = us | ROOK
    if castling & short and cells[home + 3] == rook and not cells[home + 1] \
            and not cells[home + 2] and not attacked(cells, home, them) \
            and not attacked(cells, home + 1, them) and not attacked(cells, home + 2, them):
        add((home, home + 2, 0, CASTLE))
    if castling & long_ and cells[home - 4] == rook and not cells[home - 1] \
            and not cells[home - 2] and not cells[home - 3] \
            and not attacked(cells, home, them) and not attacked(cells, home - 1, them) \
            and not attacked(cells, home - 2, them):
        add((home, home - 2, 0, CASTLE))


def legal_moves(cells, us, castling, ep, king_square):
    """The pseudo moves that do not leave the own king attacked."""
    them = us ^ 8
    checked = attacked(cells, king_square, them)
    legal = []
    for move in pseudo_moves(cells, us, castling, ep):
        frm, to, promoted, kind = move
        if kind == CASTLE:
            legal.append(move)
            continue
        if frm == king_square:
            # Lift the king first: a slider checking it along a line must
            # still see the square behind it.
            victim = cells[to]
            cells[frm] = EMPTY
            cells[to] = us | KING
            safe = not attacked(cells, to, them)
            cells[to] = victim
            cells[frm] = us | KING
        elif not checked and kind != EN_PASSANT and not ALIGNED[frm - king_square + 119]:
            safe = True
        else:
            piece = cells[frm]
            victim = cells[to]
            cells[to] = piece
            cells[frm] = EMPTY
            if kind == EN_PASSANT:
                taken = (frm & 0x70) | (to & 7)
                cells[taken] = EMPTY
                safe = not attacked(cells, king_square, them)
                cells[taken] = them | PAWN
            else:
                safe = not attacked(cells, king_square, them)
            cells[frm] = piece
            cells[to] = victim
        if safe:
            legal.append(move)
    return legal


def make_move(cells, kings, move, castling):
    """Play `move` in place. Returns (captured piece, castling rights after,
    en-passant square after or -1); the captured piece is what unmake_move
    needs to take the move back."""
    frm, to, promoted, kind = move
    piece = cells[frm]
    captured = cells[to]
    cells[to] = promoted or piece
    cells[frm] = EMPTY
    ep = -1
    if kind == DOUBLE_STEP:
        ep = (frm + to) >> 1
    elif kind == EN_PASSANT:
        taken = (frm & 0x70) | (to & 7)
        captured = cells[taken]
        cells[taken] = EMPTY
    elif kind == CASTLE:
        rook_from, rook_to = CASTLE_ROOK[to]
        cells[rook_to] = cells[rook_from]
        cells[rook_from] = EMPTY
    if piece & 7 == KING:
        kings[piece >> 3] = to
    return captured, castling & RIGHTS_KEPT[frm] & RIGHTS_KEPT[to], ep


def unmake_move(cells, kings, move, captured):
    frm, to, promoted, kind = move
    piece = (promoted & 8) | PAWN if promoted else cells[to]
    cells[frm] = piece
    if kind == EN_PASSANT:
        cells[to] = EMPTY
        cells[(frm & 0x70) | (to & 7)] = captured
    else:
        cells[to] = captured
        if kind == CASTLE:
            rook_from, rook_to = CASTLE_ROOK[to]
            cells[rook_from] = cells[rook_to]
            cells[rook_to] = EMPTY
    if piece & 7 == KING:
        kings[piece >> 3] = frm


def move_text(move):
    frm, to, promoted, _ = move
    text = square_name(frm) + square_name(to)
    if promoted:
        text += LETTERS[promoted & 7].lower()
    return text


class Board:
    """A position. Never changed once made: play() returns a new Board."""

    __slots__ = ("_cells", "_us", "_castling", "_ep", "_halfmove", "_fullmove",
                 "_kings", "_moves", "_by_text")

    START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"

    def __init__(self, cells, us, castling, ep, halfmove, fullmove, kings):
        self._cells = cells
        self._us = us
        self._castling = castling
        self._ep = ep
        self._halfmove = halfmove
        self._fullmove = fullmove
        self._kings = kings
        self._moves = None      # legal moves, found when first asked for
        self._by_text = None

    @classmethod
    def start(cls):
        return cls.from_fen(cls.START_FEN)

    @classmethod
    def from_fen(cls, fen):
        """A board from a FEN of 4 or 6 fields (the clocks default to 0 1).
        ValueError on anything malformed or on a position that cannot arise
        (not one king each, a pawn on the first or last rank, the side not
        to move in check, an en-passant square with no pawn that could have
        just stepped past it). Castling rights whose king or rook is not at
        home are dropped."""
        if not isinstance(fen, str):
            raise ValueError("FEN must be text")
        fields = fen.split()
        if len(fields) not in (4, 6):
            raise ValueError("FEN needs 4 or 6 fields: %r" % fen)
        placement, side, rights, ep_field = fields[:4]

        cells = [EMPTY] * 128
        ranks = placement.split("/")
        if len(ranks) != 8:
            raise ValueError("FEN placement needs 8 ranks: %r" % placement)
        for row, text in enumerate(ranks):
            rank = 7 - row
            file = 0
            previous_digit = False
            for char in text:
                if char in "12345678" and not previous_digit:
                    file += int(char)
                    previous_digit = True
                elif char in PIECE_OF_LETTER:
                    if file > 7:
                        break
                    cells[rank * 16 + file] = PIECE_OF_LETTER[char]
                    file += 1
                    previous_digit = False
                else:
                    raise ValueError("bad FEN rank %r" % text)
            if file != 8:
                raise ValueError("FEN rank %r is not 8 squares" % text)

        kings = [-1, -1]
        for square in SQUARES:
            piece = cells[square]
            if piece & 7 == KING:
                if kings[piece >> 3] != -1:
                    raise ValueError("more than one king of a colour: %r" % fen)
                kings[piece >> 3] = square
            elif piece & 7 == PAWN and square >> 4 in (0, 7):
                raise ValueError("pawn on the first or last rank: %r" % fen)
        if -1 in kings:
            raise ValueError("a king is missing: %r" % fen)

        if side not in ("w", "b"):
            raise ValueError("side to move must be w or b: %r" % side)
        us = WHITE if side == "w" else BLACK
        if attacked(cells, kings[(us ^ 8) >> 3], us):
            raise ValueError("the side not to move is in check: %r" % fen)

        castling = 0
        if rights != "-":
            for char in rights:
                bit = dict((letter, bit) for bit, letter in CASTLE_LETTERS).get(char)
                if bit is None or castling & bit:
                    raise ValueError("bad castling field %r" % rights)
                castling |= bit
        for bit, king_home, rook_home, colour in (
                (CASTLE_K, E1, H1, WHITE), (CASTLE_Q, E1, A1, WHITE),
                (CASTLE_k, E8, H8, BLACK), (CASTLE_q, E8, A8, BLACK)):
            if cells[king_home] != colour | KING or cells[rook_home] != colour | ROOK:
                castling &= ~bit

        ep = -1
        if ep_field != "-":
            ep = parse_square(ep_field)
            # Behind a pawn of the side that just moved, with the square it
            # came from empty.
            back = 16 if us == WHITE else -16
            if ep >> 4 != (5 if us == WHITE else 2) or cells[ep] \
                    or cells[ep + back] or cells[ep - back] != (us ^ 8) | PAWN:
                raise ValueError("impossible en-passant square %r" % ep_field)

        halfmove, fullmove = 0, 1
        if len(fields) == 6:
            if not (fields[4].isdigit() and fields[5].isdigit()):
                raise ValueError("FEN move counters must be numbers: %r" % fen)
            halfmove, fullmove = int(fields[4]), int(fields[5])
            if fullmove < 1:
                raise ValueError("full-move number starts at 1: %r" % fen)
        return cls(cells, us, castling, ep, halfmove, fullmove, kings)

    def fen(self):
        rows = []
        for rank in range(7, -1, -1):
            row, gap = "", 0
            for file in range(8):
                piece = self._cells[rank * 16 + file]
                if piece:
                    if gap:
                        row += str(gap)
                        gap = 0
                    row += LETTERS[piece]
                else:
                    gap += 1
            rows.append(row + (str(gap) if gap else ""))
        return "%s %s %s %s %d %d" % (
            "/".join(rows), "w" if self._us == WHITE else "b", self._rights_text(),
            square_name(self._ep) if self._ep >= 0 else "-",
            self._halfmove, self._fullmove)

    def _rights_text(self):
        return "".join(letter for bit, letter in CASTLE_LETTERS if self._castling & bit) or "-"

    def __repr__(self):
        return "Board.from_fen(%r)" % self.fen()

    @property
    def white_to_move(self):
        return self._us == WHITE

    @property
    def halfmove_clock(self):
        return self._halfmove

    @property
    def fullmove_number(self):
        return self._fullmove

    def piece_at(self, square):
        """FEN letter of the piece on a square named like 'e4', or None."""
        piece = self._cells[parse_square(square)]
        return LETTERS[piece] if piece else None

    # Moves ---------------------------------------------------------------

    def _legal(self):
        if self._moves is None:
            cells = list(self._cells)   # legal_moves() borrows it for tests
            self._moves = legal_moves(cells, self._us, self._castling, self._ep,
                                      self._kings[self._us >> 3])
        return self._moves

    def _move(self, text):
        """The internal move for a legal UCI text; ValueError otherwise."""
        if self._by_text is None:
            self._by_text = {move_text(move): move for move in self._legal()}
        move = self._by_text.get(text) if isinstance(text, str) else None
        if move is None:
            raise ValueError("illegal or malformed move %r in %s" % (text, self.fen()))
        return move

    def legal_moves(self):
        return [move_text(move) for move in self._legal()]

    def play(self, move):
        """The board after a legal move in UCI notation ('e2e4', 'e7e8q',
        'e1g1' for castling); ValueError if it is not legal here."""
        internal = self._move(move)
        cells = list(self._cells)
        kings = list(self._kings)
        captured, castling, ep = make_move(cells, kings, internal, self._castling)
        pawn_move = self._cells[internal[0]] & 7 == PAWN
        halfmove = 0 if pawn_move or captured else self._halfmove + 1
        fullmove = self._fullmove + (1 if self._us == BLACK else 0)
        return Board(cells, self._us ^ 8, castling, ep, halfmove, fullmove, kings)

    def is_capture(self, move):
        frm, to, _, kind = self._move(move)
        return kind == EN_PASSANT or bool(self._cells[to])

    def san(self, move):
        """Standard algebraic notation of a legal UCI move, with + or # when
        it gives check or mate (as PGN files write it)."""
        after = self.play(move)
        return self._san_body(move) + ("#" if after.is_checkmate() else "+" if after.in_check() else "")

    def _san_body(self, move):
        frm, to = move[:2], move[2:4]
        piece = self.piece_at(frm).upper()
        capture = "x" if self.is_capture(move) else ""
        if piece == "K" and abs(ord(frm[0]) - ord(to[0])) == 2:
            return "O-O" if to[0] == "g" else "O-O-O"
        if piece == "P":
            return (frm[0] + capture if capture else "") + to + ("=" + move[4].upper() if len(move) == 5 else "")
        rivals = [m for m in self.legal_moves()
                  if m[:2] != frm and m[2:4] == to and self.piece_at(m[:2]).upper() == piece]
        if not rivals:
            mark = ""
        elif all(m[0] != frm[0] for m in rivals):
            mark = frm[0]
        elif all(m[1] != frm[1] for m in rivals):
            mark = frm[1]
        else:
            mark = frm
        return piece + mark + capture + to

    def move_from_san(self, text):
        """The legal UCI move written as text in SAN (check signs and !?
        marks are not compared; castling with zeros is taken), or None when
        no move or more than one fits."""
        wanted = text.rstrip("+#!?").replace("0", "O")
        found = [move for move in self.legal_moves() if self._san_body(move) == wanted]
        return found[0] if len(found) == 1 else None

    def is_irreversible(self, move):
        """A pawn move or a capture: the kind that restarts the fifty-move
        count, after which no earlier position can come back."""
        internal = self._move(move)
        return self._cells[internal[0]] & 7 == PAWN or self.is_capture(move)

    # State of the game ---------------------------------------------------

    def in_check(self):
        return attacked(self._cells, self._kings[self._us >> 3], self._us ^ 8)

    def is_checkmate(self):
        return not self._legal() and self.in_check()

    def is_stalemate(self):
        return not self._legal() and not self.in_check()

    def has_insufficient_material(self):
        """No mate is possible with any play: king against king, king and
        one bishop or knight against a bare king, or kings with bishops
        only, all of them on squares of one colour."""
        minors = []
        for square in SQUARES:
            kind = self._cells[square] & 7
            if kind in (PAWN, ROOK, QUEEN):
                return False
            if kind in (KNIGHT, BISHOP):
                minors.append((kind, square))
        if len(minors) <= 1:
            return True
        if any(kind == KNIGHT for kind, _ in minors):
            return False
        colours = {((square >> 4) + square) & 1 for _, square in minors}
        return len(colours) == 1

    def repetition_key(self):
        """What makes two positions the same for the repetition rule: the
        pieces, the side to move, the castling rights, and the en-passant
        square only when an en-passant capture is actually legal."""
        ep = "-"
        if self._ep >= 0 and any(kind == EN_PASSANT for _, _, _, kind in self._legal()):
            ep = square_name(self._ep)
        placement, side = self.fen().split()[:2]
        return "%s %s %s %s" % (placement, side, self._rights_text(), ep)


class Game:
    """A start position and the moves played from it."""

    def __init__(self, start_fen=None):
        self.start_board = Board.start() if start_fen is None else Board.from_fen(start_fen)
        self._board = self.start_board
        self._moves = []
        self._seen = collections.Counter([self._board.repetition_key()])

    @property
    def board(self):
        return self._board

    @property
    def moves(self):
        return list(self._moves)

    def play(self, move):
        """Play a legal move (ValueError if not). Moves after a draw by rule
        are still taken; outcome() speaks for the latest position."""
        self._board = self._board.play(move)
        self._moves.append(move)
        self._seen[self._board.repetition_key()] += 1

    def outcome(self):
        """None while the game goes on, else (result, reason)."""
        board = self._board
        if board.is_checkmate():
            return ("0-1" if board.white_to_move else "1-0", "checkmate")
        if board.is_stalemate():
            return ("1/2-1/2", "stalemate")
        if board.has_insufficient_material():
            return ("1/2-1/2", "insufficient material")
        if board.halfmove_clock >= 100:
            return ("1/2-1/2", "fifty moves")
        if self._seen[board.repetition_key()] >= 3:
            return ("1/2-1/2", "repetition")
        return None


# Perft -------------------------------------------------------------------

def perft_counts(board, depth):
    """Leaf counts at every depth 1..depth from one walk: a list whose
    entry d is the number of move sequences of length d."""
    counts = [0] * (depth + 1)
    counts[0] = 1
    if depth == 0:
        return counts
    cells = list(board._cells)
    kings = list(board._kings)

    def walk(us, castling, ep, ply):
        moves = legal_moves(cells, us, castling, ep, kings[us >> 3])
        counts[ply + 1] += len(moves)
        if ply + 1 == depth:
            return
        for move in moves:
            captured, rights, new_ep = make_move(cells, kings, move, castling)
            walk(us ^ 8, rights, new_ep, ply + 1)
            unmake_move(cells, kings, move, captured)

    walk(board._us, board._castling, board._ep, 0)
    return counts


def perft(board, depth):
    """Number of legal move sequences of `depth` plies from `board`."""
    return perft_counts(board, depth)[depth]


def check_perft_suite(path, max_depth=3, out=sys.stdout):
    """Compare every listed depth up to max_depth of an EPD perft suite.
    Prints one line per mismatch (or unreadable line); returns
    (passed, failed) counted in position-depth pairs."""
    passed = failed = 0
    with open(path, encoding="utf-8") as suite:
        for number, line in enumerate(suite, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fen, *fields = line.split(";")
            try:
                expected = {}
                for field in fields:
                    label, count = field.split()
                    if label[0] != "D" or not label[1:].isdigit() or not count.isdigit():
                        raise ValueError("bad depth field %r" % field)
                    expected[int(label[1:])] = int(count)
                board = Board.from_fen(fen)
            except ValueError as error:
                print("%s:%d: unreadable line: %s" % (path, number, error), file=out)
                failed += 1
                continue
            wanted = sorted(d for d in expected if 1 <= d <= max_depth)
            if not wanted:
                continue
            counts = perft_counts(board, wanted[-1])
            for depth in wanted:
                if counts[depth] == expected[depth]:
                    passed += 1
                else:
                    failed += 1
                    print("%s:%d: %s depth %d: expected %d, got %d"
                          % (path, number, fen.strip(), depth, expected[depth], counts[depth]),
                          file=out)
    return passed, failed


def main(argv=None):
    parser = argparse.ArgumentParser(description="The move judge's perft self-check.")
    parser.add_argument("--perft", metavar="FILE", required=True,
                        help="EPD suite of lines 'FEN ;D1 n1 ;D2 n2 ...'")
    parser.add_argument("--depth", type=int, default=3, help="deepest depth compared (default 3)")
    args = parser.parse_args(argv)
    began = time.monotonic()
    passed, failed = check_perft_suite(args.perft, args.depth)
    print("movejudge perft: %.1f s" % (time.monotonic() - began))
    print("movejudge perft: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
