# Prints what a screen reader hears of the program on Linux (AT-SPI): its
# window, then each named control, "role|name|label".
import sys
import pyatspi


def walk(node, depth):
    for child in node:
        if child is None:
            continue
        labels = [relation.getTarget(0).name for relation in child.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        if depth == 0 or (child.name and child.getRoleName() != "list item"):
            print(f"{child.getRoleName()}|{child.name}|{''.join(labels)}")
        walk(child, depth + 1)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == sys.argv[1]:
        walk(app, 0)
