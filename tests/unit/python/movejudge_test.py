#!/usr/bin/env python3
"""The move judge's rules that its perft does not reach: the endings of a
game, FEN round trips, and the en-passant square in the repetition key.

    movejudge_test.py        (run from the repository root)
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "python"))
import movejudge  # noqa: E402

CASES = []


def case(function):
    CASES.append(function)
    return function


def game_from(fen, moves):
    game = movejudge.Game(fen)
    for move in moves.split():
        game.play(move)
    return game


@case
def endings():
    assert game_from(None, "f2f3 e7e5 g2g4 d8h4").outcome() == ("0-1", "checkmate")
    assert movejudge.Game("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1").outcome() == ("1/2-1/2", "stalemate")
    assert game_from("7k/8/8/8/8/8/8/KR6 w - - 99 80", "b1b2").outcome() == ("1/2-1/2", "fifty moves")
    # a pawn move on the hundredth ply resets the count
    assert game_from("7k/8/8/8/8/8/P7/KR6 w - - 99 80", "a2a3").outcome() is None
    # mate on the hundredth ply is mate
    assert game_from("7k/8/6K1/8/8/8/8/R7 w - - 99 80", "a1a8").outcome() == ("1-0", "checkmate")
    shuffle = "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1"
    assert game_from(None, shuffle).outcome() is None
    assert game_from(None, shuffle + " f6g8").outcome() == ("1/2-1/2", "repetition")


@case
def insufficient_material():
    for fen in ("8/8/4k3/8/8/3K4/8/8 w - - 0 1", "8/8/4k3/8/8/3KB3/8/8 w - - 0 1",
                "8/8/4kn2/8/8/3K4/8/8 w - - 0 1", "8/8/3bk3/8/8/3KB3/8/8 w - - 0 1"):
        assert movejudge.Board.from_fen(fen).has_insufficient_material(), fen
    for fen in ("8/8/4k3/8/8/3KN3/5N2/8 w - - 0 1", "8/8/2b1k3/8/8/3KB3/8/8 w - - 0 1",
                "8/8/4k3/8/8/3K4/4P3/8 w - - 0 1", "8/8/4k3/8/8/3K4/7R/8 w - - 0 1"):
        assert not movejudge.Board.from_fen(fen).has_insufficient_material(), fen


@case
def fen_round_trip_and_moves():
    start = movejudge.Board.start()
    assert start.fen() == "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
    after = start.play("e2e4").play("c7c5").play("g1f3")
    assert after.fen() == "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2"
    assert movejudge.Board.from_fen(after.fen()).fen() == after.fen()
    promotions = movejudge.Board.from_fen("8/P6k/8/8/8/8/8/K7 w - - 0 1").legal_moves()
    assert {"a7a8q", "a7a8r", "a7a8b", "a7a8n"} <= set(promotions) and "a7a8" not in promotions
    for bad in ("8/8/8/8/8/8/8/8 w - - 0 1", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1",
                "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"):
        try:
            movejudge.Board.from_fen(bad)
        except ValueError:
            continue
        raise AssertionError("accepted " + bad)


@case
def en_passant_counts_for_repetition_only_when_legal():
    # after e2e4 no black pawn can take on e3: the same position as with "-"
    plain = movejudge.Board.from_fen("4k3/8/8/8/4P3/8/8/4K3 b - - 0 1")
    pushed = movejudge.Board.from_fen("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1").play("e2e4")
    assert plain.repetition_key() == pushed.repetition_key()
    taker = movejudge.Board.from_fen("4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1").play("e2e4")
    assert taker.repetition_key().endswith(" e3") and "d4e3" in taker.legal_moves()


@case
def standard_algebraic_notation():
    # every legal move of these positions has one SAN that leads back to it
    for fen in (movejudge.Board.START_FEN, "r3k2r/1P4P1/8/2pP4/8/1N3N2/8/R3K2R w KQkq c6 0 1",
                "8/8/1k6/8/7Q/8/8/K3Q2Q w - - 0 1"):
        board = movejudge.Board.from_fen(fen)
        for move in board.legal_moves():
            assert board.move_from_san(board.san(move)) == move, (fen, move, board.san(move))
    board = movejudge.Board.from_fen("r3k2r/1P4P1/8/2pP4/8/1N3N2/8/R3K2R w KQkq c6 0 1")
    assert [board.san(m) for m in ("d5c6", "b3d2", "f3d2", "e1c1", "b7a8q", "g7h8n", "a1a8")] == \
        ["dxc6", "Nbd2", "Nfd2", "O-O-O", "bxa8=Q+", "gxh8=N", "Rxa8+"]
    queens = movejudge.Board.from_fen("8/8/1k6/8/7Q/8/8/K3Q2Q w - - 0 1")
    assert [queens.san(m) for m in ("e1e4", "h4e4", "h1e4", "h1h2")] == ["Qee4", "Q4e4", "Qh1e4", "Q1h2"]
    assert queens.move_from_san("Qe4") is None  # three queens reach e4
    assert movejudge.Board.start().play("f2f3").play("e7e5").play("g2g4").san("d8h4") == "Qh4#"
    assert movejudge.Board.start().move_from_san("Nd2") is None


def main():
    passed = failed = 0
    for function in CASES:
        try:
            function()
            passed += 1
        except (AssertionError, ValueError) as error:
            failed += 1
            print("FAILED: %s: %s" % (function.__name__, error))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
