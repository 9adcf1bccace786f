# The bundled demo game is built from demo/ into build/demo-game.
