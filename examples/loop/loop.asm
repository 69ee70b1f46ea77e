; loop.asm - a tiny counting loop for hc11flow.
; A counts up and is stored at $10, three times per pass (B counts down);
; after each pass a subroutine counts the passes in X.

        org     $E000
debprog_
        ldS     #$00FF
        ldX     #$0000
        clrA
debut
        ldB     #3
boucle
        addA    #1
        stA     $10
        decB
        bne     boucle
        callr   compte
        jr      debut
compte
        incX
        ret

        org     $FFFE
        dw      debprog_        ; reset vector: the CLI's default start

        end
