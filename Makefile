# Thin front for scripts/bc.sh; see README.
.PHONY: demo test setup
demo:
	bash scripts/bc.sh demo
test:
	bash scripts/bc.sh test
setup:
	bash scripts/bc.sh setup
